// A stand-in copy of TamoCove for the second-copy guard's real run: it runs
// the guard's launch step with the install folders it is given (joined by
// ':'), says "ready" and then waits, watching, until it is ended.
//
// Given a store folder as well, it then claims the store as the app does,
// with the moment (milliseconds since the epoch) to start at, so that two
// launches race: it says "owner" once it holds the store, or exits when it
// handed itself over. "stubborn" makes it ignore SIGTERM, as a copy busy
// quitting does.

#include "app/SingleInstance.h"
#include "onboarding/SecondCopyGuard.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

class SilentAlerts final : public tamo::Alerts
{
public:
    int runModal(const tamo::AlertSpec &spec) override { return int(spec.buttons.size()) - 1; }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList folders = QString::fromLocal8Bit(argc > 1 ? argv[1] : "").split(u':', Qt::SkipEmptyParts);
    const QString store = QString::fromLocal8Bit(argc > 2 ? argv[2] : "");
    const qint64 startAt = argc > 3 ? QByteArray(argv[3]).toLongLong() : 0;
    if (argc > 4 && std::strcmp(argv[4], "stubborn") == 0)
        std::signal(SIGTERM, SIG_IGN);
    while (QDateTime::currentMSecsSinceEpoch() < startAt)
        QThread::usleep(200);

    tamo::ProcProgramCopies copies;
    tamo::SystemClock clock;
    SilentAlerts alerts;
    tamo::SecondCopyGuard guard(tamo::SecondCopyGuard::realServices(copies, alerts, {}, clock, &app), folders);
    const bool ended = guard.terminateRunningCopies();
    std::printf("ready\n");
    std::fflush(stdout);
    if (!store.isEmpty()) {
        tamo::SingleInstance instance(store);
        if (const auto exitStatus = instance.claimOrHandOver({}, ended ? tamo::SecondCopyGuard::launchWaitMs : 0))
            return *exitStatus;
        std::printf("owner\n");
        std::fflush(stdout);
        return QCoreApplication::exec();
    }
    return QCoreApplication::exec();
}
