// Pinboard file figures, each stage in a process of its own so that its peak
// resident memory is its own:
// - export of 50 pinboards holding 10,000 clips, 100 of them 1 MB images:
//   time, peak memory and the main thread's longest stall;
// - import of that file into a store of 100,000 clips: reading, then plan and
//   apply (target under 2 s) with the number of saves (target one);
// - merging a clip of 200,000 keywords (target: well under a second);
// - reading large files: a 170 MB and a 511 MB file of 1,000,001 clips,
//   refused (target: a small multiple of the size), and a 170 MB file of
//   1,000,000 clips, read.
#include "HistoryFill.h"
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
#include "transfer/DurableFile.h"
#include "transfer/ImportApply.h"
#include "transfer/PinboardArchive.h"
#include "transfer/PinboardExport.h"
#include "ProcessStatus.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
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

void importFile(const QString &folder, const QString &file)
{
    Store store(folder);
    int saves = 0;
    QObject::connect(&store.context(), &ModelContext::didSave, [&saves] { ++saves; });
    QElapsedTimer clock;
    clock.start();
    const PinboardArchive archive = PinboardArchive::decode(*readFileBounded(file, PinboardArchive::maxFileBytes));
    const qint64 read = clock.restart();
    const QList<ImportPlan> plans = ImportPlanner(store.context(), store.clips, store.pinboards).makePlans(archive.pinboards);
    const qint64 planned = clock.elapsed();
    QString error;
    const auto result = ImportApply(store.context(), store.clips, store.pinboards, store.icons, store.workspace,
                                    store.clock)
                            .apply(plans, archive.apps, false, &error);
    if (!result)
        qFatal("import failed: %s", qPrintable(error));
    std::printf("import into %d clips: reading %.2f s, plan and apply %.2f s (plan %.2f s; target under 2 s), "
                "%d added, %d save(s) (target 1); peak %.0f MB\n",
                storeSize, read / 1000.0, clock.elapsed() / 1000.0, planned / 1000.0, result->added, saves,
                bench::statusMegabytes("VmHWM:"));
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
        const PinboardArchive archive = PinboardArchive::decode(*readFileBounded(file, PinboardArchive::maxFileBytes));
        outcome = QStringLiteral("read %1 clips").arg(archive.clipCount());
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

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == u"--stage")
        return runStage(arguments.mid(1));

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
    return 0;
}
