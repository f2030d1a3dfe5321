// Claims the store folder given as first argument the way the app does, at
// the moment (milliseconds since the epoch) given as fourth argument, so that
// several launches race. A launch that loses hands over its second argument;
// the owner opens the store and prints "owner", then each file handed over,
// until it has heard from as many launches as the third argument says.
#include "app/SingleInstance.h"
#include "model/ModelContainer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 5)
        return 2;
    const qint64 startAt = std::atoll(argv[4]);
    while (QDateTime::currentMSecsSinceEpoch() < startAt)
        QThread::usleep(200);
    const QString store = QString::fromLocal8Bit(argv[1]);
    tamo::SingleInstance instance(store);
    if (const auto exitStatus = instance.claimOrHandOver({QString::fromLocal8Bit(argv[2])}))
        return *exitStatus;
    tamo::ModelContainer container(store);
    std::printf("owner\n");
    std::fflush(stdout);

    int heard = 0;
    const int expected = std::atoi(argv[3]);
    QObject::connect(&instance, &tamo::SingleInstance::activated, &app, [&](const QStringList &files) {
        std::printf("%s\n", qPrintable(files.join(u',')));
        std::fflush(stdout);
        if (++heard == expected)
            QCoreApplication::quit();
    });
    QTimer::singleShot(10'000, &app, [] { QCoreApplication::exit(4); });
    return expected == 0 ? 0 : QCoreApplication::exec();
}
