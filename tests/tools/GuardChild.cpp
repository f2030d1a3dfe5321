// A stand-in copy of TamoCove for the second-copy guard's real run: it runs
// the guard's launch step with the install folders it is given (joined by
// ':'), says "ready" and then waits, watching, until it is ended.

#include "onboarding/SecondCopyGuard.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"

#include <QCoreApplication>

#include <cstdio>

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
    tamo::ProcProgramCopies copies;
    tamo::SystemClock clock;
    SilentAlerts alerts;
    tamo::SecondCopyGuard guard(tamo::SecondCopyGuard::realServices(copies, alerts, {}, clock, &app), folders);
    guard.terminateRunningCopies();
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
