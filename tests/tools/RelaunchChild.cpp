// Relaunches into the executable given as first argument the way the app
// does, then lets its event loop end as the app's would.
#include "platform/Relauncher.h"

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    tamo::ProcessRelauncher relauncher(QString::fromLocal8Bit(argv[1]));
    QTimer::singleShot(0, [&] {
        if (!relauncher.relaunch())
            QCoreApplication::exit(1);
    });
    return app.exec();
}
