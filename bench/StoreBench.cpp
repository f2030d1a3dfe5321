// Store figures: ingest rate against bare SQLite, opening a large store,
// searching the history and erasing deletions. Prints each figure with the
// ratio its target names.
#include "HistoryFill.h"

#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SourceAppPublisher.h"
#include "model/Sqlite.h"
#include "model/SyncState.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <unistd.h>

using namespace tamo;

namespace {

constexpr int storeSize = 100'000;
constexpr int ingestCount = 10'000;
constexpr int imageClips = 1'000;
constexpr int historyLimit = 2'000;

std::map<std::string, double> figures; // benchmark name → seconds

QString words(QRandomGenerator &random, int count)
{
    static const char *vocabulary[] = {"alpha", "build", "clip", "delta", "email", "fetch", "green", "house",
                                       "index", "jolly", "kite", "lemon", "mango", "note", "orbit", "paste"};
    QStringList text;
    for (int i = 0; i < count; ++i)
        text.append(QLatin1String(vocabulary[random.bounded(16)]));
    return text.join(QLatin1Char(' '));
}

// Fills a store in one transaction: `images` of the clips carry 200 KB images.
void fillStore(const QString &folder, int clips, int images)
{
    ModelContainer container(folder);
    QRandomGenerator random(42);
    const int imageEvery = images > 0 ? clips / images : 0;
    bench::fillHistory(container.mainContext(), clips, QDateTime::currentDateTime().addDays(-30), [&](int i) {
        ClipDraft draft = ClipDraft::fromText(QStringLiteral("%1 %2").arg(i).arg(words(random, 12)));
        if (imageEvery && i % imageEvery == 0) {
            draft.kind = ClipKind::image;
            draft.imageData = QByteArray(200 * 1024, char(i));
            draft.imageWidth = draft.imageHeight = 256;
        }
        return draft;
    });
}

const QString &textStore()
{
    static QTemporaryDir dir;
    static const bool filled = (fillStore(dir.path(), storeSize, 0), true);
    Q_UNUSED(filled);
    static const QString path = dir.path();
    return path;
}

const QString &imageStore()
{
    static QTemporaryDir dir;
    static const bool filled = (fillStore(dir.path(), storeSize, imageClips), true);
    Q_UNUSED(filled);
    static const QString path = dir.path();
    return path;
}

// A scratch copy so that destructive benchmarks start from the same store.
QString copyOf(const QString &folder, QTemporaryDir &scratch)
{
    for (const char *name : {ModelContainer::syncedStoreName, ModelContainer::localStoreName})
        QFile::copy(QDir(folder).filePath(QLatin1String(name)), scratch.filePath(QLatin1String(name)));
    return scratch.path();
}

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

QList<ClipDraft> ingestDrafts()
{
    QRandomGenerator random(7);
    QList<ClipDraft> drafts;
    for (int i = 0; i < ingestCount; ++i)
        drafts.append(ClipDraft::fromText(QStringLiteral("new %1 %2").arg(i).arg(words(random, 12)),
                                          std::nullopt, QStringLiteral("org.gnome.TextEditor"),
                                          QStringLiteral("Text Editor")));
    return drafts;
}

void BM_Ingest(benchmark::State &state)
{
    const QList<ClipDraft> drafts = ingestDrafts();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir scratch;
        ModelContainer container(copyOf(textStore(), scratch));
        SystemClock clock;
        NoSync sync;
        SourceAppPublisher publisher(container.mainContext(), sync, nullptr);
        ClipLibrary library(container.mainContext(), clock, publisher);
        state.ResumeTiming();
        for (const ClipDraft &draft : drafts) {
            if (!library.ingest(draft))
                state.SkipWithError("ingest failed");
        }
    }
    state.counters["clips_per_s"] = benchmark::Counter(double(ingestCount), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Ingest)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same rows inserted and committed one by one through a connection
// with the store's settings, without anything of ours around it.
void BM_BareInsertCommit(benchmark::State &state)
{
    const QList<ClipDraft> drafts = ingestDrafts();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir scratch;
        const QString folder = copyOf(textStore(), scratch);
        sql::Database db;
        db.open(QDir(folder).filePath(QLatin1String(ModelContainer::syncedStoreName)));
        db.exec(QStringLiteral("PRAGMA journal_mode = WAL; PRAGMA secure_delete = ON; PRAGMA synchronous = FULL"));
        sql::Statement insert = db.prepare(QStringLiteral(
            "INSERT INTO ClipItem (recordID, id, createdAt, kindRaw, text, contentHash, sourceBundleID, sourceAppName) "
            "VALUES (?, ?, ?, 'text', ?, ?, ?, ?)"));
        state.ResumeTiming();
        for (const ClipDraft &draft : drafts) {
            db.exec(QStringLiteral("BEGIN IMMEDIATE"));
            insert.bindText(1, QUuid::createUuid().toString(QUuid::WithoutBraces))
                .bindText(2, QUuid::createUuid().toString(QUuid::WithoutBraces))
                .bindInt64(3, QDateTime::currentMSecsSinceEpoch())
                .bindText(4, *draft.text)
                .bindText(5, QStringLiteral("0000"))
                .bindText(6, *draft.sourceBundleID)
                .bindText(7, *draft.sourceAppName);
            insert.run();
            db.exec(QStringLiteral("COMMIT"));
        }
    }
    state.counters["rows_per_s"] = benchmark::Counter(double(ingestCount), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BareInsertCommit)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenAndFetchHistory(benchmark::State &state)
{
    const QString folder = imageStore();
    double growth = 0;
    for (auto _ : state) {
        const double before = residentMegabytes();
        ModelContainer container(folder);
        const auto clips = container.mainContext().fetch<ClipItem>(
            FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false).limited(historyLimit));
        benchmark::DoNotOptimize(clips.size());
        growth = std::max(growth, residentMegabytes() - before);
        if (clips.size() != historyLimit)
            state.SkipWithError("wrong history size");
    }
    state.counters["rss_growth_MB"] = growth;
}
BENCHMARK(BM_OpenAndFetchHistory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MatchHistory(benchmark::State &state)
{
    ModelContainer container(imageStore());
    const auto clips = container.mainContext().fetch<ClipItem>(
        FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false).limited(historyLimit));
    const QString query = QStringLiteral("man");
    for (auto _ : state) {
        int hits = 0;
        for (const ClipItemPtr &clip : clips)
            hits += clip->matches(query, {}) ? 1 : 0;
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(BM_MatchHistory)->Unit(benchmark::kMicrosecond);

void BM_DeleteWithErasure(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir scratch;
        ModelContainer container(copyOf(imageStore(), scratch));
        ModelContext &context = container.mainContext();
        state.ResumeTiming();
        const auto ids = context.removeClips(FetchDescriptor()
                                                 .where(ClipItem::PinboardIDColumn, FetchDescriptor::Compare::isNull)
                                                 .sorted(ClipItem::CreatedAtColumn, true)
                                                 .limited(ingestCount));
        if (ids.size() != ingestCount || !context.save())
            state.SkipWithError("delete failed");
    }
}
BENCHMARK(BM_DeleteWithErasure)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Collects the times so the summary can set them against their targets.
class FigureReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            figures[run.benchmark_name()] = seconds;
        }
    }
};

// The time of the first benchmark whose name starts so.
double firstFigure(const std::string &start)
{
    for (const auto &[name, value] : figures) {
        if (name.rfind(start, 0) == 0)
            return value;
    }
    return 0;
}

} // namespace

// Opens the store and fetches the history in this fresh process, printing
// the time in ms and how much the resident memory grew in MB.
int measureOpenInFreshProcess(const QString &folder)
{
    const double before = residentMegabytes();
    QElapsedTimer timer;
    timer.start();
    ModelContainer container(folder);
    const auto clips = container.mainContext().fetch<ClipItem>(
        FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false).limited(historyLimit));
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%.2f %.2f %lld\n", ms, residentMegabytes() - before, qlonglong(clips.size()));
    return clips.size() == historyLimit ? 0 : 1;
}

QPair<double, double> openFigureFromFreshProcess()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open-history"), imageStore()});
    child.waitForFinished(60'000);
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    return {fields.value(0).toDouble(), fields.value(1).toDouble()};
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--open-history") == 0)
        return measureOpenInFreshProcess(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const double ingest = firstFigure("BM_Ingest");
    const double bare = firstFigure("BM_BareInsertCommit");
    const double open = firstFigure("BM_OpenAndFetchHistory");
    std::printf("\nFigures against their targets\n");
    if (ingest > 0 && bare > 0)
        std::printf("  ingest rate / bare insert-and-commit rate: %.2f (target >= 0.50)\n", bare / ingest);
    if (open > 0) {
        const auto [coldMs, coldGrowth] = openFigureFromFreshProcess();
        std::printf("  open 100,000-clip store + fetch 2,000: %.1f ms warm, %.1f ms in a fresh process "
                    "(target < 50 ms); resident memory +%.1f MB in that process (target < 40 MB)\n",
                    open * 1e3, coldMs, coldGrowth);
    }
    if (const double match = firstFigure("BM_MatchHistory"); match > 0)
        std::printf("  matches over 2,000 clips, 3-letter query: %.3f ms (target < 2 ms)\n", match * 1e3);
    if (const double erase = firstFigure("BM_DeleteWithErasure"); erase > 0)
        std::printf("  delete 10,000 clips with erasure and checkpoint: %.0f ms (target <= 2000 ms)\n", erase * 1e3);
    return 0;
}
