// The app as main() assembles it, with every view alive (drawer, preview,
// menu-bar panel) on the offscreen platform: start to capture-ready and one
// copy saved over a 100,000-clip store, and the resident memory when idle
// over that store, after 500 distinct 1 MB images and after 10,000 short
// texts. Each memory figure comes from a fresh process (this program run
// again with --rss), so no figure carries what another left behind.
#include "HistoryFill.h"
#include "OneScreen.h"
#include "TimingReporter.h"

#include "app/AppDelegate.h"
#include "app/AppModel.h"
#include "drawer/DrawerAssembly.h"
#include "drawer/PanelController.h"
#include "menubar/MenuBarAssembly.h"
#include "menubar/MenuBarClipsController.h"
#include "model/ClipDraft.h"
#include "model/DefaultSettings.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/TrayStatusItem.h"
#include "platform/x11/X11Platform.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace tamo;

namespace {

constexpr int largeStore = 100'000;
constexpr int imageCount = 500;
constexpr int textCount = 10'000;

QString storeFolder;

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

// main()'s assembly over the store in `folder`, up to the end of the launch.
struct App
{
    explicit App(const QString &folder)
    {
        registerDefaultSettings(defaults);
        const PlatformServices services{&defaults, &clock, &platform.pasteboard(), &platform.workspace(),
                                        &platform.hotKeys(), &platform.eventPoster(), &platform.accessibility(),
                                        &alerts, &platform.sounds(), &platform.screenshotFolder(), &network};
        AppExtensions extensions;
        extensions.drawer = &drawerPanel;
        extensions.menuBar = &menuBarClips;
        model = std::make_unique<AppModel>(services, folder, extensions);
        drawer = std::make_unique<DrawerAssembly>(drawerPanel, *model, defaults, clock);
        menuBar = std::make_unique<MenuBarAssembly>(menuBarClips, *model, defaults, clock);
        delegate = std::make_unique<AppDelegate>(*model, defaults);
        delegate->finishLaunching();
    }

    QTemporaryDir configFolder;
    Defaults defaults{configFolder.filePath(QStringLiteral("defaults.json"))};
    SystemClock clock;
    X11Platform platform;
    MessageBoxAlerts alerts;
    QNetworkAccessManager network;
    bench::OneScreen screens;
    PanelController drawerPanel{defaults, screens};
    TrayStatusItem recentClipsIcon{screens};
    MenuBarClipsController menuBarClips{defaults, screens, recentClipsIcon, drawerPanel, platform.clickShield(), clock};
    std::unique_ptr<AppModel> model;
    std::unique_ptr<DrawerAssembly> drawer;
    std::unique_ptr<MenuBarAssembly> menuBar;
    std::unique_ptr<AppDelegate> delegate;
};

void settle()
{
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

// A noise picture whose PNG is about 1 MB and differs from every other.
QByteArray distinctPng(int seed)
{
    QImage image(512, 512, QImage::Format_RGB888);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < image.width() * 3; ++x)
            line[x] = uchar(random.bounded(256) & 0xF8); // a little compressible: about 1 MB
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

void BM_StartToCaptureReady100kStore(benchmark::State &state)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        App app(storeFolder);
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        settle();
    }
}

void BM_OneCopySaved100kStore(benchmark::State &state)
{
    App app(storeFolder);
    settle();
    int copy = 0;
    for (auto _ : state) {
        const ClipDraft draft = ClipDraft::fromText(QStringLiteral("busy copy %1").arg(++copy));
        QElapsedTimer timer;
        timer.start();
        app.model->ingest(draft);
        QCoreApplication::processEvents(); // what the save left queued
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
    }
}

// One memory scenario in this process; prints the resident megabytes.
int runMemoryScenario(const QString &scenario, const QString &folder)
{
    App app(folder);
    settle();
    if (scenario == QLatin1String("images")) {
        for (int i = 0; i < imageCount; ++i) {
            if (const auto draft = ClipDraft::fromImage(distinctPng(i)))
                app.model->ingest(*draft);
            QCoreApplication::processEvents();
        }
    } else if (scenario == QLatin1String("texts")) {
        for (int i = 0; i < textCount; ++i) {
            app.model->ingest(ClipDraft::fromText(QStringLiteral("short text number %1 of the day").arg(i)));
            QCoreApplication::processEvents();
        }
    }
    settle();
    std::printf("%.1f\n", residentMegabytes());
    return 0;
}

double memoryFigure(const QString &scenario, const QString &folder)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rss"), scenario, folder});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().split('\n').last().toDouble();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--rss")
        return runMemoryScenario(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    QTemporaryDir large;
    storeFolder = large.path();
    {
        ModelContainer container(storeFolder);
        bench::fillHistory(container.mainContext(), largeStore, QDateTime::currentDateTime().addSecs(-largeStore),
                           [](int i) { return ClipDraft::fromText(QStringLiteral("clip %1 of a busy history").arg(i)); });
    }
    const double idleMegabytes = memoryFigure(QStringLiteral("idle"), storeFolder);
    QTemporaryDir imagesStore;
    const double imagesMegabytes = memoryFigure(QStringLiteral("images"), imagesStore.path());
    QTemporaryDir textsStore;
    const double textsMegabytes = memoryFigure(QStringLiteral("texts"), textsStore.path());

    benchmark::RegisterBenchmark("BM_StartToCaptureReady100kStore", BM_StartToCaptureReady100kStore)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(5);
    benchmark::RegisterBenchmark("BM_OneCopySaved100kStore", BM_OneCopySaved100kStore)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(50);
    benchmark::Initialize(&argc, argv);
    bench::TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double startSeconds = reporter.seconds("BM_StartToCaptureReady");
    const double copySeconds = reporter.seconds("BM_OneCopySaved");

    std::printf("\nFigures against their targets (every view alive)\n");
    std::printf("  start to capture-ready, %d-clip store: %.1f ms (target < 300 ms)\n", largeStore, startSeconds * 1e3);
    std::printf("  one copy saved, %d-clip store: %.2f ms (target < 10 ms)\n", largeStore, copySeconds * 1e3);
    std::printf("  resident when idle, %d-clip store: %.1f MB (target < 80 MB)\n", largeStore, idleMegabytes);
    std::printf("  resident after %d distinct 1 MB images: %.1f MB (target < 150 MB)\n", imageCount, imagesMegabytes);
    std::printf("  resident after %d short texts: %.1f MB (target < 60 MB)\n", textCount, textsMegabytes);
    return 0;
}
