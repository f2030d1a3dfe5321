// Pinboard file figures, each stage in a process of its own so that its peak
// resident memory is its own:
// - export of 50 pinboards holding 10,000 clips, 100 of them 1 MB images:
//   time, peak memory and the main thread's longest stall;
// - import of that file into a store of 100,000 clips: reading, then plan and
//   apply a slice at a time (target under 2 s), with the longest slice;
// - merging a clip of 200,000 keywords (target: well under a second);
// - reading large files: a 170 MB and a 511 MB file of 1,000,001 clips,
//   refused (target: a small multiple of the size), and a 170 MB file of
//   1,000,000 clips, read;
// - importing through the app's own path (what Import… does, every pinboard
//   ticked) a 400 MB file of two 200 MB texts and a 92 MB file of 1,000
//   pinboards of 1,000 clips: peak memory (target 300 MB), time and the main
//   thread's longest gap between two turns of its event loop (target well
//   under 100 ms), and how soon a quit halfway through ends the run (target
//   under a second).
#include "HistoryFill.h"
#include "ImportingApp.h"
#include "NoApps.h"

#include "app/AppIcons.h"
#include "model/ClipItem.h"
#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboard.h"
#include "model/Pinboards.h"
#include "model/SourceAppPublisher.h"
#include "model/SyncState.h"
#include "platform/Clock.h"
#include "transfer/ArchiveBuilder.h"
#include "transfer/ImportApply.h"
#include "transfer/PinboardArchive.h"
#include "transfer/PinboardExport.h"
#include "ProcessStatus.h"

#include "transfer/PasteImport.h"
#include "transfer/SpooledPinboardFile.h"

#include <QApplication>
#include <QBuffer>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <cstdio>

using namespace tamo;

namespace {

constexpr int pinboardCount = 50;
constexpr int clipsPerPinboard = 200;
constexpr int imageClips = 100;
constexpr int storeSize = 100'000;

// What the store needs around it, as the app has it.
struct Store
{
    explicit Store(const QString &folder) : container(folder) {}

    ModelContext &context() { return container.mainContext(); }

    ModelContainer container;
    SystemClock clock;
    NoSync sync;
    bench::NoApps workspace;
    AppIcons icons{workspace};
    SourceAppPublisher sourceApps{container.mainContext(), sync, nullptr};
    ClipLibrary clips{container.mainContext(), clock, sourceApps};
    Pinboards pinboards{container.mainContext()};
};

// A 1 MB PNG: noise does not compress.
QByteArray noiseImage(int seed)
{
    QRandomGenerator random(seed);
    QImage image(600, 580, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = random.generate();
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

void fillPinboards(const QString &folder)
{
    Store store(folder);
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-10);
    int made = 0;
    for (int b = 0; b < pinboardCount; ++b) {
        auto board = std::make_shared<Pinboard>(QStringLiteral("Board %1").arg(b), b % 9, b);
        store.context().insert(board);
        for (int c = 0; c < clipsPerPinboard; ++c, ++made) {
            ClipDraft draft = ClipDraft::fromText(QStringLiteral("Clip %1 of board %2: some words to carry").arg(c).arg(b));
            if (made % (pinboardCount * clipsPerPinboard / imageClips) == 0) {
                draft = *ClipDraft::fromImage(noiseImage(made));
            }
            draft.sourceBundleID = QStringLiteral("org.example.app%1").arg(made % 20);
            draft.sourceAppName = QStringLiteral("App %1").arg(made % 20);
            auto clip = std::make_shared<ClipItem>(draft, start.addSecs(made));
            clip->setPin(board->id(), start.addSecs(made));
            store.context().insert(clip);
        }
    }
    if (!store.context().save())
        qFatal("filling the store failed: %s", qPrintable(store.context().lastError()));
}

void fillHistory(const QString &folder)
{
    Store store(folder);
    bench::fillHistory(store.context(), storeSize, QDateTime::currentDateTimeUtc().addDays(-30), [](int i) {
        return ClipDraft::fromText(QStringLiteral("History clip %1 with a few words").arg(i));
    });
}

// Builds the archive on the main thread and writes it as the app does, with a
// tick every 5 ms measuring how long the main thread went unanswered.
void exportFile(const QString &folder, const QString &file)
{
    Store store(folder);
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longestStall = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    ticks.start(5);
    const PinboardArchive archive =
        ArchiveBuilder(store.context(), store.clips, store.icons, store.clock).build(store.pinboards.orderedPinboards());
    const qint64 built = clock.elapsed();
    longestStall = std::max(longestStall, built - lastTick);
    const QString error = writeArchiveInBackground(file, archive);
    if (!error.isEmpty())
        qFatal("export failed: %s", qPrintable(error));
    std::printf("export: %d pinboards, %d clips, %.1f MB file in %.2f s (building %.2f s); peak %.0f MB; "
                "main thread's longest stall %lld ms\n",
                int(archive.pinboards.size()), archive.clipCount(), QFileInfo(file).size() / 1048576.0,
                clock.elapsed() / 1000.0, built / 1000.0, bench::statusMegabytes("VmHWM:"), longestStall);
}

std::unique_ptr<SpooledPinboardFile> spooled(const QString &file, const QString &spoolFolder)
{
    std::atomic<bool> cancelled = false;
    std::atomic<qint64> bytesRead = 0;
    return SpooledPinboardFile::read(file, spoolFolder, cancelled, bytesRead);
}

// Reading, then planning and applying a slice at a time as the app does
// between turns of its event loop.
void importFile(const QString &folder, const QString &file)
{
    Store store(folder);
    int saves = 0;
    QObject::connect(&store.context(), &ModelContext::didSave, [&saves] { ++saves; });
    QElapsedTimer clock;
    clock.start();
    const auto read = spooled(file, folder);
    const qint64 reading = clock.restart();
    ImportPlanner planner(store.context(), store.clips, store.pinboards, *read);
    qint64 longestSlice = 0;
    QElapsedTimer slice;
    for (bool done = false; !done; longestSlice = std::max(longestSlice, slice.elapsed())) {
        slice.start();
        done = planner.planSome(QDeadlineTimer(PasteHistoryImport::sliceMilliseconds));
    }
    const qint64 planned = clock.elapsed();
    ImportApply apply(store.context(), store.clips, store.pinboards, store.icons, store.workspace, store.clock, *read,
                      planner.takePlans(), false);
    QString error;
    while (!apply.isFinished()) {
        slice.start();
        if (!apply.applySlice(PasteHistoryImport::sliceMilliseconds, &error))
            qFatal("import failed: %s", qPrintable(error));
        longestSlice = std::max(longestSlice, slice.elapsed());
    }
    std::printf("import into %d clips: reading %.2f s, plan and apply %.2f s (plan %.2f s; target under 2 s), "
                "%d added in %d saves, longest slice %lld ms; peak %.0f MB\n",
                storeSize, reading / 1000.0, clock.elapsed() / 1000.0, planned / 1000.0, apply.result().added, saves,
                longestSlice, bench::statusMegabytes("VmHWM:"));
}

// A file of small clips, `clips` in all, of about `megabytes` MB.
void writeLargeFile(const QString &file, int clips, int megabytes)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(file));
    const qint64 perClip = qint64(megabytes) * 1024 * 1024 / clips;
    const QByteArray head = R"({"apps":[],"exportedAt":"2026-01-02T03:04:05Z","format":"tamo-pinboards","pinboards":[{"clips":[)";
    const QByteArray clip = R"({"createdAt":"2026-01-01T00:00:00Z","keywords":[],"kind":"text","text":")";
    const QByteArray tail = R"(],"color":"Blue","name":"Big"}],"version":1})";
    out.write(head);
    for (int i = 0; i < clips; ++i) {
        const QByteArray number = QByteArray::number(i);
        const qint64 padding = std::max<qint64>(0, perClip - clip.size() - number.size() - 4);
        out.write(clip + number + QByteArray(padding, 'x') + (i + 1 < clips ? "\"}," : "\"}"));
    }
    out.write(tail);
}

void readLargeFile(const QString &file)
{
    QElapsedTimer clock;
    clock.start();
    const double size = QFileInfo(file).size() / 1048576.0;
    QString outcome;
    try {
        outcome = QStringLiteral("read %1 clips").arg(spooled(file, QFileInfo(file).path())->clipCount());
    } catch (const ArchiveError &error) {
        outcome = QStringLiteral("refused: ") + error.text();
    }
    std::printf("a %.0f MB file: %s after %.2f s; peak %.0f MB (%.1f × the file)\n", size, qPrintable(outcome),
                clock.elapsed() / 1000.0, bench::statusMegabytes("VmHWM:"), bench::statusMegabytes("VmHWM:") / size);
}

// One file clip of 200,000 keywords merged into a clip holding 200,000
// others: the merge was once quadratic (40,000 took 3.7 s).
void mergeKeywords()
{
    constexpr int count = 200'000;
    QStringList local;
    QStringList file;
    for (int i = 0; i < count; ++i) {
        local.append(QStringLiteral("here %1").arg(i));
        file.append(QStringLiteral("FILE %1").arg(i));
    }
    ClipItem clip(ClipDraft::fromText(QStringLiteral("x")), QDateTime::currentDateTimeUtc());
    clip.setKeywords(local);
    PinboardArchive::Clip fileClip{.kind = QStringLiteral("text"), .keywords = file};
    QElapsedTimer timer;
    timer.start();
    const MergedMetadata merged = mergedMetadata(clip, fileClip, std::nullopt);
    std::printf("Merging %d keywords into %d: %lld ms, %lld kept\n", count, count, timer.elapsed(),
                qlonglong(merged.keywords.size()));
}

// Imports `file` as Import… does, from the event loop, ticking every 5 ms
// to find the longest time the main thread left the loop unanswered. With
// `quitAfterMs`, the app is asked to quit that long after the start.
void importThroughTheApp(const QString &folder, const QString &file, int quitAfterMs)
{
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QString longestGapStep;
    int gapsOver100 = 0;
    int turns = 0;
    qint64 quitAt = -1;
    {
        bench::ImportingApp app(folder);
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            ++turns;
            if (clock.elapsed() - lastTick > 100)
                ++gapsOver100;
            if (clock.elapsed() - lastTick > longestGap) {
                longestGap = clock.elapsed() - lastTick;
                longestGapStep = app.answers.step;
            }
            lastTick = clock.elapsed();
        });
        ticks.start(5);
        QTimer::singleShot(0, [&] {
            app.files.importPinboards(file);
            QCoreApplication::quit();
        });
        if (quitAfterMs >= 0) {
            QTimer::singleShot(quitAfterMs, [&] {
                quitAt = clock.elapsed();
                QCoreApplication::quit();
            });
        }
        lastTick = clock.elapsed(); // the gaps of the import, not of making the app
        QCoreApplication::exec();
        // As the app's end does: work left on the thread pool is waited for.
        QThreadPool::globalInstance()->waitForDone();
        longestGap = std::max(longestGap, clock.elapsed() - lastTick);
        if (quitAt < 0)
            std::printf("  imported in %.2f s; peak %.0f MB; longest event-loop gap %lld ms (%s), %d of %d gaps "
                        "over 100 ms\n  %s\n",
                        clock.elapsed() / 1000.0, bench::statusMegabytes("VmHWM:"), longestGap,
                        qPrintable(longestGapStep), gapsOver100, turns, qPrintable(app.answers.last.left(200)));
    }
    if (quitAt >= 0)
        std::printf("  quit %.1f s into the import: ended %lld ms later (target under 1000)\n", quitAt / 1000.0,
                    clock.elapsed() - quitAt);
}

// 400 MB: one pinboard of two texts of 200 MB.
void writeTwoHugeTexts(const QString &file)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(file));
    out.write(R"({"apps":[],"exportedAt":"2026-01-02T03:04:05Z","format":"tamo-pinboards","pinboards":[{"clips":[)");
    const QByteArray chunk(1024 * 1024, 'a');
    for (int clip = 0; clip < 2; ++clip) {
        out.write(clip == 0 ? R"({"createdAt":"2026-01-01T00:00:00Z","keywords":[],"kind":"text","text":")"
                            : R"(,{"createdAt":"2026-01-01T00:00:00Z","keywords":[],"kind":"text","text":")");
        out.write(QByteArray::number(clip));
        for (int megabyte = 0; megabyte < 200; ++megabyte)
            out.write(chunk);
        out.write(R"("})");
    }
    out.write(R"(],"color":"Blue","name":"Huge"}],"version":1})");
}

// 92 MB: 1,000 pinboards of 1,000 small texts.
void writeManyPinboards(const QString &file)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(file));
    out.write(R"({"apps":[],"exportedAt":"2026-01-02T03:04:05Z","format":"tamo-pinboards","pinboards":[)");
    for (int board = 0; board < 1000; ++board) {
        QByteArray text = board == 0 ? "{\"clips\":[" : ",{\"clips\":[";
        for (int clip = 0; clip < 1000; ++clip) {
            if (clip > 0)
                text += ',';
            text += R"({"createdAt":"2026-01-01T00:00:00Z","keywords":[],"kind":"text","text":"Clip )" +
                    QByteArray::number(clip) + " of board " + QByteArray::number(board) + "\"}";
        }
        text += R"(],"color":"Blue","name":"Board )" + QByteArray::number(board) + "\"}";
        out.write(text);
    }
    out.write(R"(],"version":1})");
}

int runStage(const QStringList &arguments)
{
    const QString stage = arguments.value(0);
    if (stage == u"fill-pinboards")
        fillPinboards(arguments.value(1));
    else if (stage == u"fill-history")
        fillHistory(arguments.value(1));
    else if (stage == u"export")
        exportFile(arguments.value(1), arguments.value(2));
    else if (stage == u"import")
        importFile(arguments.value(1), arguments.value(2));
    else if (stage == u"read")
        readLargeFile(arguments.value(1));
    else if (stage == u"keywords")
        mergeKeywords();
    else if (stage == u"import-app")
        importThroughTheApp(arguments.value(1), arguments.value(2), arguments.value(3, QStringLiteral("-1")).toInt());
    else
        return 2;
    return 0;
}

void runChild(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--stage")} + arguments);
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("stage %s failed", qPrintable(arguments.join(u' ')));
}

void measureFiles()
{
    runChild({QStringLiteral("keywords")});
    QTemporaryDir dir;
    const QString pinboards = dir.filePath(QStringLiteral("pinboards"));
    const QString history = dir.filePath(QStringLiteral("history"));
    const QString file = dir.filePath(QStringLiteral("boards.tamocove"));
    runChild({QStringLiteral("fill-pinboards"), pinboards});
    runChild({QStringLiteral("export"), pinboards, file});
    runChild({QStringLiteral("fill-history"), history});
    runChild({QStringLiteral("import"), history, file});
    QFile::remove(file);

    const QString large = dir.filePath(QStringLiteral("large.tamocove"));
    const std::pair<int, int> files[] = {{PinboardArchive::maxClips + 1, 170},
                                         {PinboardArchive::maxClips + 1, 511},
                                         {PinboardArchive::maxClips, 170}};
    for (const auto &[clips, megabytes] : files) {
        writeLargeFile(large, clips, megabytes);
        runChild({QStringLiteral("read"), large});
    }
    QFile::remove(large);
}

void measureImportsThroughTheApp()
{
    QTemporaryDir dir;
    const QString large = dir.filePath(QStringLiteral("large.tamocove"));
    const std::pair<const char *, void (*)(const QString &)> appFiles[] = {
        {"a 400 MB file of two 200 MB texts", writeTwoHugeTexts},
        {"a 92 MB file of 1,000 pinboards of 1,000 clips", writeManyPinboards}};
    for (const auto &[name, write] : appFiles) {
        write(large);
        std::printf("Import… of %s (%.0f MB):\n", name, QFileInfo(large).size() / 1048576.0);
        std::fflush(stdout);
        for (const QString &quitAfter : {QStringLiteral("-1"), QStringLiteral("700")}) {
            QTemporaryDir store;
            runChild({QStringLiteral("import-app"), store.path(), large, quitAfter});
        }
        QFile::remove(large);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == u"--stage")
        return runStage(arguments.mid(1));

    // "--imports" measures only the imports through the app.
    if (arguments.value(0) != u"--imports")
        measureFiles();
    measureImportsThroughTheApp();
    return 0;
}

