// The app as main() assembles it while another process (the sqlite3 shell,
// as a backup tool would) holds the store's write lock. Copies arrive as
// capture hands them on: each read on a thread of its own, 80 ms apart, and
// delivered by the capture queue from the event loop. For 15 and 30 short
// copies, and for 18 copies of 15 MB, prints the main thread's longest block
// meanwhile (one turn of its event loop), the memory they add while they wait,
// then the longest block after the lock is let go, until they are all saved;
// and, for comparison, the main thread's save of one 15 MB copy when the
// store is free.
#include "BenchApp.h"
#include "ProcessStatus.h"

#include "app/CaptureQueue.h"
#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPromise>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <thread>

using namespace tamo;

namespace {

constexpr int copyEveryMs = 80;
constexpr int settleMs = 1000; // after the last copy, still held
constexpr int saveWaitMs = 120'000;

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

struct Figures
{
    double longestHeldMs = 0;
    double addedMegabytes = 0;
    double longestAfterMs = 0;
    qint64 lastSavedMs = 0;
    int saved = 0;
};

// Each turn of the event loop, timed; the longest so far.
class Turns
{
public:
    void turn(QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents)
    {
        QElapsedTimer timer;
        timer.start();
        QCoreApplication::processEvents(flags, 5);
        m_longestNs = std::max(m_longestNs, timer.nsecsElapsed());
    }
    double longestMs() const { return m_longestNs / 1e6; }

private:
    qint64 m_longestNs = 0;
};

Figures copiesBehindHeldLock(int copies, qsizetype textLength)
{
    QTemporaryDir folder;
    Figures figures;
    bench::App app(folder.path());
    bench::settle();
    ModelContext &context = app.model->container().mainContext();
    CaptureQueue queue;
    QObject::connect(&queue, &CaptureQueue::ready, app.model.get(), &AppModel::ingest);

    QProcess shell;
    if (!holdWriteLock(shell, QDir(folder.path()).filePath(QLatin1String(ModelContainer::syncedStoreName)))) {
        std::fprintf(stderr, "sqlite3 could not hold the store's write lock\n");
        return figures;
    }
    const double megabytesBefore = bench::statusMegabytes("VmRSS:");
    std::vector<QPromise<std::optional<ClipDraft>>> reads(copies);
    for (auto &read : reads) {
        read.start();
        queue.append(read.future());
    }
    // The copies are read off the main thread, as capture reads them, and
    // hashed there.
    std::thread reader([&reads, textLength] {
        int number = 0;
        for (auto &read : reads) {
            std::this_thread::sleep_for(std::chrono::milliseconds(copyEveryMs));
            QString text = QStringLiteral("copied while the store was held %1 ").arg(number++);
            if (textLength > text.size())
                text += QString(textLength - text.size(), QLatin1Char('x'));
            ClipDraft draft = ClipDraft::fromText(std::move(text));
            draft.contentHash = contentHashOf(draft);
            read.addResult(std::move(draft));
            read.finish();
        }
    });
    Turns held;
    QElapsedTimer sinceLast;
    bool allRead = false;
    while (!allRead || sinceLast.elapsed() < settleMs) {
        held.turn();
        if (!allRead && reads.back().future().isFinished()) {
            allRead = true;
            sinceLast.start();
        }
    }
    reader.join();
    reads.clear();
    for (int i = 0; i < 5; ++i)
        held.turn();
    figures.longestHeldMs = held.longestMs();
    figures.addedMegabytes = bench::statusMegabytes("VmRSS:") - megabytesBefore;

    shell.write("COMMIT;\n.quit\n");
    shell.closeWriteChannel();
    shell.waitForFinished();
    Turns after;
    QElapsedTimer released;
    released.start();
    while (context.fetchCount<ClipItem>() < copies && released.elapsed() < saveWaitMs)
        after.turn(QEventLoop::WaitForMoreEvents);
    figures.lastSavedMs = released.elapsed();
    for (int i = 0; i < 20; ++i)
        after.turn();
    figures.longestAfterMs = after.longestMs();
    figures.saved = context.fetchCount<ClipItem>();
    return figures;
}

// The main thread's save of one large copy with the store free, as capture
// hands it on (hashed where it was read).
double freeStoreSaveMs(qsizetype textLength)
{
    QTemporaryDir folder;
    bench::App app(folder.path());
    bench::settle();
    ClipDraft draft = ClipDraft::fromText(QString(textLength, QLatin1Char('y')));
    draft.contentHash = contentHashOf(draft);
    QElapsedTimer timer;
    timer.start();
    app.model->ingest(draft);
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    constexpr qsizetype large = 15 * 1000 * 1000;
    const struct
    {
        int copies;
        qsizetype textLength;
    } runs[] = {{15, 0}, {30, 0}, {18, large}};

    bool allSaved = true;
    std::printf("Another process holds the store's write lock; a copy every %d ms (targets: at most 100 ms a turn, "
                "about 64 MB held)\n",
                copyEveryMs);
    for (const auto &run : runs) {
        const Figures figures = copiesBehindHeldLock(run.copies, run.textLength);
        std::printf("  %d copies of %s:\n", run.copies, run.textLength ? "15 MB" : "a line");
        std::printf("    longest main-thread block while held: %.1f ms\n", figures.longestHeldMs);
        std::printf("    memory they added while waiting: %.0f MB\n", figures.addedMegabytes);
        std::printf("    longest main-thread block after release: %.1f ms; %d of %d saved, the last %lld ms after\n",
                    figures.longestAfterMs, figures.saved, run.copies, figures.lastSavedMs);
        allSaved = allSaved && figures.saved == run.copies;
    }
    std::printf("One copy of 15 MB with the store free: the main thread's save took %.1f ms\n",
                freeStoreSaveMs(large));
    return allSaved ? 0 : 1;
}
