// Ingests numbered clips into the store folder given as argument, printing
// each number once its save returned, until it is killed.
//
// With --die-ingesting it ingests one image large enough to stay on this
// machine, with --die-merging it folds two clips of such an image into one;
// either kills itself at the first write to a second write-ahead log: one
// store file has committed, the other has not.
#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SourceAppPublisher.h"
#include "model/StoreMaintenance.h"
#include "model/SyncState.h"
#include "platform/Clock.h"

#include <QCoreApplication>

#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

sqlite3_vfs *realVfs = nullptr;
sqlite3_vfs watchingVfs;
const sqlite3_io_methods *realWalMethods = nullptr;
sqlite3_io_methods watchedWalMethods;
bool armed = false;
const sqlite3_file *firstWalWritten = nullptr;

int writeOrDie(sqlite3_file *file, const void *data, int amount, sqlite3_int64 offset)
{
    if (armed && !firstWalWritten)
        firstWalWritten = file;
    else if (armed && file != firstWalWritten)
        std::raise(SIGKILL);
    return realWalMethods->xWrite(file, data, amount, offset);
}

int openWatchingWal(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    const int result = realVfs->xOpen(realVfs, name, file, flags, outFlags);
    if (result == SQLITE_OK && (flags & SQLITE_OPEN_WAL) && file->pMethods) {
        realWalMethods = file->pMethods;
        watchedWalMethods = *file->pMethods;
        watchedWalMethods.xWrite = writeOrDie;
        file->pMethods = &watchedWalMethods;
    }
    return result;
}

void watchWalWrites()
{
    realVfs = sqlite3_vfs_find(nullptr);
    watchingVfs = *realVfs;
    watchingVfs.zName = "die-between-stores";
    watchingVfs.xOpen = openWatchingWal;
    sqlite3_vfs_register(&watchingVfs, 1);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const bool ingesting = argc > 2 && std::strcmp(argv[2], "--die-ingesting") == 0;
    const bool merging = argc > 2 && std::strcmp(argv[2], "--die-merging") == 0;
    if (ingesting || merging)
        watchWalWrites();
    tamo::ModelContainer container(QString::fromLocal8Bit(argv[1]));
    tamo::SystemClock clock;
    tamo::NoSync sync;
    tamo::SourceAppPublisher publisher(container.mainContext(), sync, nullptr);
    tamo::ClipLibrary library(container.mainContext(), clock, publisher);
    if (ingesting || merging) {
        tamo::ClipDraft draft;
        draft.kind = tamo::ClipKind::image;
        draft.imageData = QByteArray(tamo::ClipLibrary::largestSyncedImage + 1, 'x');
        if (merging) {
            // Twins, as two machines make them: the older one holds the image
            // here, the newer came without it.
            library.makeClip(draft);
            auto synced = std::make_shared<tamo::ClipItem>(draft, clock.now().addSecs(60));
            synced->setImageData(std::nullopt);
            synced->setImageIsLocalOnly(true);
            container.mainContext().insert(synced);
            container.mainContext().save();
        }
        armed = true;
        if (merging)
            tamo::StoreMaintenance(container.mainContext()).mergeDuplicates();
        else
            library.ingest(draft);
        return 3; // not killed: the save never reached a second file
    }
    for (int i = 0;; ++i) {
        auto draft = tamo::ClipDraft::fromText(QStringLiteral("clip %1 ").arg(i) + QString(2000, QLatin1Char('x')));
        if (!library.ingest(draft))
            return 1;
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}
