// Ingests numbered clips into the store folder given as argument, printing
// each number once its save returned, until it is killed.
#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/SourceAppPublisher.h"
#include "model/SyncState.h"
#include "platform/Clock.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    tamo::ModelContainer container(QString::fromLocal8Bit(argv[1]));
    tamo::SystemClock clock;
    tamo::NoSync sync;
    tamo::SourceAppPublisher publisher(container.mainContext(), sync, nullptr);
    tamo::ClipLibrary library(container.mainContext(), clock, publisher);
    for (int i = 0;; ++i) {
        auto draft = tamo::ClipDraft::fromText(QStringLiteral("clip %1 ").arg(i) + QString(2000, QLatin1Char('x')));
        if (!library.ingest(draft))
            return 1;
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}
