// Window switcher figures on the X server of DISPLAY, with 100 windows of
// another process open under a window manager (openbox is started when none
// runs): the hot key to the panel's first painted frame, and the main-thread
// time of one catalog build. Prints each figure against its target.
#include "PaintWatch.h"
#include "TimingReporter.h"

#include "app/AppHooks.h"
#include "app/GlobalHotKeyRegistry.h"
#include "bonus/BonusToolbox.h"
#include "bonus/WindowSwitcherView.h"
#include "model/DefaultSettings.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/x11/X11Platform.h"
#include "platform/x11/X11Properties.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace tamo;

namespace {

constexpr int windowCount = 100;

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

bool windowManagerRuns(const x11::X11Connection &x11)
{
    const x11::X11Properties properties(x11.xcb);
    const quint32 check = properties.numbers(x11.rootWindow, "_NET_SUPPORTING_WM_CHECK").value(0);
    return check && properties.numbers(check, "_NET_SUPPORTING_WM_CHECK").value(0) == check;
}

// The desktop of the bench: a window manager and 100 windows of a second
// process (this program, started with --windows).
struct Desktop
{
    Desktop()
    {
        registerDefaultSettings(defaults);
        if (!windowManagerRuns(x11::X11Connection::fromApplication())) {
            openbox.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
            waitFor([] { return windowManagerRuns(x11::X11Connection::fromApplication()); }, 10000);
        }
        windows.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--windows")});
        waitFor([this] { return windows.readAllStandardOutput().contains("shown") || shown(); }, 30000);
        toolbox.attach(hotKeys);
        toolbox.createWindowSwitcher();
    }
    ~Desktop()
    {
        windows.kill();
        windows.waitForFinished();
        if (openbox.state() != QProcess::NotRunning) {
            openbox.terminate();
            openbox.waitForFinished();
        }
    }
    bool shown() { return platform.windowServer().windowList(false).size() >= windowCount; }

    QTemporaryDir configFolder;
    Defaults defaults{configFolder.filePath(QStringLiteral("defaults.json"))};
    SystemClock clock;
    X11Platform platform;
    QNetworkAccessManager network;
    DrawerPanel drawer;
    GlobalHotKeyRegistry hotKeys{platform.hotKeys(), defaults};
    BonusToolbox toolbox{{&platform.windowServer(), &platform.accessibility(), &defaults, &platform.screens(), &drawer,
                          &platform.accessibleTree(), &platform.launcherBadges(), &platform.eventPoster(), &network,
                          &clock, configFolder.filePath(QStringLiteral("Favicons"))},
                         QCoreApplication::applicationPid()};
    QProcess openbox;
    QProcess windows;
};

Desktop *desktop = nullptr;

void BM_HotKeyToFirstPaint100Windows(benchmark::State &state)
{
    WindowSwitcherService &switcher = *desktop->toolbox.windowSwitcher();
    for (auto _ : state) {
        switcher.controller().hide();
        QCoreApplication::processEvents();
        bench::PaintWatch watch;
        watch.watch(switcher.controller().view());
        QElapsedTimer timer;
        timer.start();
        switcher.toggle();
        if (!waitFor([&] { return watch.painted; }, 5000)) {
            state.SkipWithError("the panel never painted");
            break;
        }
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        state.counters["rows"] = double(switcher.controller().state().rows().size());
    }
    switcher.controller().hide();
}

void BM_CatalogBuild100Windows(benchmark::State &state)
{
    WindowSwitcherCatalog &catalog = desktop->toolbox.catalog();
    for (auto _ : state) {
        QCoreApplication::processEvents(); // a fresh read of the server each time
        QElapsedTimer timer;
        timer.start();
        const qsizetype rows = catalog.rows().size();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        state.counters["rows"] = double(rows);
    }
}

int openWindows(QApplication &app)
{
    std::vector<std::unique_ptr<QWidget>> windows;
    for (int i = 0; i < windowCount; ++i) {
        auto window = std::make_unique<QWidget>();
        window->setWindowTitle(QStringLiteral("Bench window %1").arg(i));
        window->setGeometry(20 + i * 5, 20 + i * 3, 300, 200);
        window->show();
        windows.push_back(std::move(window));
    }
    std::printf("shown\n");
    std::fflush(stdout);
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (QApplication::arguments().contains(QStringLiteral("--windows")))
        return openWindows(app);
    if (!x11::X11Connection::fromApplication().isValid()) {
        std::fprintf(stderr, "the switcher bench needs an X server (run it under xvfb-run)\n");
        return 1;
    }
    Desktop scene;
    desktop = &scene;
    if (!waitFor([&] { return scene.shown(); }, 30000)) {
        std::fprintf(stderr, "the 100 windows did not appear\n");
        return 1;
    }
    benchmark::RegisterBenchmark("BM_HotKeyToFirstPaint100Windows", BM_HotKeyToFirstPaint100Windows)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(20);
    benchmark::RegisterBenchmark("BM_CatalogBuild100Windows", BM_CatalogBuild100Windows)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(20);
    benchmark::Initialize(&argc, argv);
    bench::TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nFigures against their targets\n");
    if (const double seconds = reporter.seconds("BM_HotKeyToFirstPaint"); seconds > 0)
        std::printf("  switcher hot key to the first painted panel, 100 windows: %.1f ms (target < 50 ms)\n",
                    seconds * 1e3);
    if (const double seconds = reporter.seconds("BM_CatalogBuild"); seconds > 0)
        std::printf("  one catalog build on the main thread, 100 windows: %.1f ms (target < 5 ms)\n",
                    seconds * 1e3);
    return 0;
}
