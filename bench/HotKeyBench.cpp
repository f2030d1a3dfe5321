// A long history must not slow what the user opens: the main hot key to the
// drawer painted with its first cards, the menu-bar icon to its panel painted
// with its cards, and one letter typed into the drawer to its row painted
// again, each over a 100-clip and a 1,000,000-clip history, warm (the store's
// pages in the page cache) and cold (dropped from it just before, as after a
// long idle under memory pressure). The clips come from a dozen apps, as a
// real history's do. Given a folder, the stores there are used (and filled
// when they have none), so a profiler can watch the presses alone.
#include "BenchApp.h"
#include "HistoryFill.h"
#include "PageCache.h"
#include "PaintWatch.h"
#include "TimingReporter.h"

#include "drawer/ClipStrip.h"
#include "drawer/PanelView.h"
#include "drawer/StripClips.h"
#include "drawer/TamoPanel.h"
#include "menubar/MenuBarClipsView.h"
#include "model/ClipDraft.h"
#include "model/ModelContainer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QTemporaryDir>
#include <QThreadPool>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

using namespace tamo;

namespace {

constexpr int smallHistory = 100;
constexpr int largeHistory = 1'000'000;
constexpr int presses = 15;

std::map<int, QString> storeFolders;
std::map<std::string, double> wholeListMs; // by benchmark run

std::string runName(const char *benchmarkName, int clips, bool cold)
{
    return std::string(benchmarkName) + "/clips:" + std::to_string(clips) + "/cold:" + (cold ? "1" : "0")
        + "/iterations:" + std::to_string(presses) + "/manual_time";
}

ClipDraft clipAt(int i)
{
    static const char *const words[] = {"invoice", "meeting", "recipe", "address", "kiwi", "draft",
                                        "quote",   "ticket",  "summary", "link",   "snippet"};
    static const char *const apps[] = {"Text Editor", "Terminal", "Web Browser", "Mail",     "Chat",   "Notes",
                                       "Spreadsheet", "Files",    "Calendar",    "Password", "Slides", "Music"};
    const QString app = QLatin1String(apps[i % 12]);
    return ClipDraft::fromText(QStringLiteral("%1 %2 number %3").arg(QLatin1String(words[i % 11]),
                                                                     QLatin1String(words[(i * 7) % 11]))
                                   .arg(i),
                               {}, QStringLiteral("org.example.") + QString(app).remove(QLatin1Char(' ')), app);
}

// The app over one of the stores, its views built and its work after launch
// (the store's check, the duplicate scan) done, with nothing open.
struct ClosedApp
{
    explicit ClosedApp(int clips)
        : folder(storeFolders.at(clips))
        , app(folder)
    {
        QThreadPool::globalInstance()->waitForDone();
        bench::settle();
    }

    void closeAll()
    {
        app.drawerPanel.hide(false);
        app.menuBarClips.hidePanel(false);
        app.model->resetSearch();
        bench::settle();
    }

    QString folder;
    bench::App app;
};

// From `act` until `painted` tells so, in seconds; the page cache dropped
// first for a cold run.
template<typename Act, typename Painted>
double timeUntilPainted(const QString &folder, bool cold, Act act, Painted painted)
{
    if (cold)
        bench::dropFromPageCache(folder);
    QElapsedTimer timer;
    timer.start();
    act();
    while (!painted())
        QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e9;
}

// Opens a panel until its first cards are painted (the iteration's time),
// then waits until it holds its whole list, read after that frame.
template<typename Open, typename Held>
void openUntilCardsPainted(benchmark::State &state, const char *name, Open open, Held held)
{
    const int clips = int(state.range(0));
    ClosedApp closed(clips);
    const bool cold = state.range(1) != 0;
    const qsizetype wholeList = std::min(clips, historyFetchLimit);
    open(closed.app); // the first opening builds what every later one reuses
    double wholeListSeconds = 0;
    for (auto _ : state) {
        closed.closeAll();
        bench::CardPaintWatch watch;
        QElapsedTimer sinceOpening;
        sinceOpening.start();
        state.SetIterationTime(
            timeUntilPainted(closed.folder, cold, [&] { open(closed.app); }, [&] { return watch.painted; }));
        while (held(closed.app) < wholeList)
            QCoreApplication::processEvents();
        wholeListSeconds += sinceOpening.nsecsElapsed() / 1e9;
    }
    wholeListMs[runName(name, clips, cold)] = wholeListSeconds / double(state.iterations()) * 1e3;
}

void BM_HotKeyToDrawer(benchmark::State &state)
{
    openUntilCardsPainted(
        state, "BM_HotKeyToDrawer", [](bench::App &app) { app.model->handleHotKey(); },
        [](bench::App &app) { return app.drawer->view().strip()->visibleClips().size(); });
}

void BM_IconToMenuBarPanel(benchmark::State &state)
{
    openUntilCardsPainted(
        state, "BM_IconToMenuBarPanel", [](bench::App &app) { app.menuBarClips.showPanel(); },
        [](bench::App &app) {
            return app.menuBarClips.panel()->findChild<MenuBarClipsView *>()->viewState().items().size();
        });
}

// The drawer open and its search closed, one letter typed as its key handler
// types it: the search opens with its filter menu's apps, the row narrows.
void BM_LetterTypedInDrawer(benchmark::State &state)
{
    ClosedApp closed(int(state.range(0)));
    const bool cold = state.range(1) != 0;
    AppModel &model = *closed.app.model;
    ClipStrip &strip = *closed.app.drawer->view().strip();
    const qsizetype wholeRow = std::min(int(state.range(0)), historyFetchLimit);
    for (auto _ : state) {
        closed.closeAll();
        model.handleHotKey();
        while (strip.visibleClips().size() < wholeRow)
            QCoreApplication::processEvents();
        bench::settle();
        bench::PaintWatch watch;
        watch.watch(strip.viewport());
        state.SetIterationTime(timeUntilPainted(
            closed.folder, cold,
            [&] {
                model.setSearchOpened(true);
                model.setSearchText(QStringLiteral("k"));
            },
            [&] { return watch.painted; }));
    }
}

QString clipsName(int clips)
{
    return QLocale(QLocale::English).toString(clips);
}

void printAgainstSmallHistory(const bench::TimingReporter &reporter, const char *benchmarkName, const char *what)
{
    for (const bool cold : {false, true}) {
        const auto figure = [&](int clips) { return reporter.seconds(runName(benchmarkName, clips, cold)) * 1e3; };
        std::printf("  %s, %s: %s clips %.1f ms, %s clips %.1f ms (target: no slower than with %s)\n", what,
                    cold ? "cold" : "warm", qPrintable(clipsName(largeHistory)), figure(largeHistory),
                    qPrintable(clipsName(smallHistory)), figure(smallHistory), qPrintable(clipsName(smallHistory)));
        const auto wholeList = [&](int clips) { return wholeListMs[runName(benchmarkName, clips, cold)]; };
        if (wholeList(largeHistory) > 0) {
            std::printf("    its whole list (up to %d clips) held after %.1f ms and %.1f ms\n", historyFetchLimit,
                        wholeList(largeHistory), wholeList(smallHistory));
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir temporary;
    const bool folderGiven = argc > 1 && !QByteArray(argv[1]).startsWith('-');
    const QDir stores(folderGiven ? QString::fromLocal8Bit(argv[1]) : temporary.path());
    for (const int clips : {smallHistory, largeHistory}) {
        const QString folder = stores.filePath(QString::number(clips));
        if (!ModelContainer::syncedStoreExists(folder))
            bench::fillStore(folder, clips, clipAt);
        storeFolders[clips] = folder;
    }
    if (folderGiven) {
        --argc;
        ++argv;
    }
    using Benchmark = void (*)(benchmark::State &);
    for (const auto &[name, function] : {std::pair<const char *, Benchmark>{"BM_HotKeyToDrawer", BM_HotKeyToDrawer},
                                         {"BM_IconToMenuBarPanel", BM_IconToMenuBarPanel},
                                         {"BM_LetterTypedInDrawer", BM_LetterTypedInDrawer}}) {
        benchmark::RegisterBenchmark(name, function)
            ->ArgsProduct({{smallHistory, largeHistory}, {0, 1}})
            ->ArgNames({"clips", "cold"})
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(presses);
    }
    benchmark::Initialize(&argc, argv);
    bench::TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nFigures against their targets (mean of %d)\n", presses);
    printAgainstSmallHistory(reporter, "BM_HotKeyToDrawer", "main hot key to the drawer painted with its cards");
    printAgainstSmallHistory(reporter, "BM_IconToMenuBarPanel", "menu-bar icon to its panel painted with its cards");
    printAgainstSmallHistory(reporter, "BM_LetterTypedInDrawer", "one letter typed into the drawer, row painted");
    return 0;
}
