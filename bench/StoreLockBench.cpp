// The app as main() assembles it while another process (the sqlite3 shell,
// as a backup tool would) holds the store's write lock: a copy every 100 ms
// for 3 s. Prints the main thread's longest single block meanwhile (one copy
// handled or one turn of the event loop), then how long after the lock is let
// go the copies are all saved.
#include "BenchApp.h"

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace tamo;

namespace {

constexpr int holdMs = 3000;
constexpr int copyEveryMs = 100;
constexpr int saveWaitMs = 30'000;

// The sqlite3 shell with `BEGIN IMMEDIATE` open on the store file.
bool holdWriteLock(QProcess &shell, const QString &storeFile)
{
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), QStringLiteral("-bail"), storeFile});
    shell.write("BEGIN IMMEDIATE;\n.print held\n");
    QByteArray output;
    while (!output.contains("held\n") && shell.waitForReadyRead(10'000))
        output += shell.readAllStandardOutput();
    return output.contains("held\n");
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    bench::App app(folder.path());
    bench::settle();
    ModelContext &context = app.model->container().mainContext();

    QProcess shell;
    if (!holdWriteLock(shell, QDir(folder.path()).filePath(QLatin1String(ModelContainer::syncedStoreName)))) {
        std::fprintf(stderr, "sqlite3 could not hold the store's write lock\n");
        return 1;
    }
    qint64 longestNs = 0;
    const auto timed = [&longestNs](const auto &work) {
        QElapsedTimer timer;
        timer.start();
        work();
        longestNs = std::max(longestNs, timer.nsecsElapsed());
    };
    QElapsedTimer held;
    held.start();
    int copies = 0;
    while (held.elapsed() < holdMs) {
        if (held.elapsed() >= copies * copyEveryMs) {
            const ClipDraft draft = ClipDraft::fromText(QStringLiteral("copied while the store was held %1").arg(copies++));
            timed([&] { app.model->ingest(draft); });
        }
        timed([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
    }
    const int savedWhileHeld = context.fetchCount<ClipItem>();

    shell.write("COMMIT;\n.quit\n");
    shell.closeWriteChannel();
    shell.waitForFinished();
    QElapsedTimer released;
    released.start();
    while (context.fetchCount<ClipItem>() < copies && released.elapsed() < saveWaitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    const int saved = context.fetchCount<ClipItem>();

    std::printf("Another process holds the store's write lock for %d ms, a copy every %d ms\n", holdMs, copyEveryMs);
    std::printf("  longest main-thread block meanwhile: %.1f ms (target about 100 ms)\n", longestNs / 1e6);
    std::printf("  copies saved while held: %d of %d\n", savedWhileHeld, copies);
    std::printf("  copies saved after the lock was let go: %d of %d, the last %lld ms after\n", saved, copies,
                released.elapsed());
    return saved == copies ? 0 : 1;
}
