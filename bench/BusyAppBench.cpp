// The app as main() assembles it, with every view alive (drawer, preview,
// menu-bar panel) on the offscreen platform: start to capture-ready and one
// copy saved over a 100,000-clip store, and the resident memory when idle
// over that store, after 500 distinct 1 MB images and after 10,000 short
// texts. Each memory figure comes from a fresh process (this program run
// again with --rss), so no figure carries what another left behind.
#include "BenchApp.h"
#include "HistoryFill.h"
#include "TimingReporter.h"

#include "app/AppModel.h"
#include "model/ClipDraft.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "ProcessStatus.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
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
        bench::App app(storeFolder);
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        bench::settle();
    }
}

void BM_OneCopySaved100kStore(benchmark::State &state)
{
    bench::App app(storeFolder);
    bench::settle();
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

// The main thread's part of a 16 MB text copy (the most one clip keeps):
// with the hash taken where the capture built the draft, as the clipboard
// monitor does, or taken on the main thread.
void BM_LargeTextCopySaved100kStore(benchmark::State &state)
{
    const bool hashedOffMainThread = state.range(0) != 0;
    bench::App app(storeFolder);
    bench::settle();
    const QString filler(16 * 1024 * 1024 - 32, QLatin1Char('x'));
    int copy = 0;
    for (auto _ : state) {
        ClipDraft draft = ClipDraft::fromText(QStringLiteral("large copy %1 ").arg(++copy) + filler);
        if (hashedOffMainThread)
            draft.contentHash = contentHashOf(draft);
        QElapsedTimer timer;
        timer.start();
        app.model->ingest(draft);
        QCoreApplication::processEvents();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
    }
}

// One memory scenario in this process; prints the resident megabytes.
int runMemoryScenario(const QString &scenario, const QString &folder)
{
    bench::App app(folder);
    bench::settle();
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
    bench::settle();
    std::printf("%.1f\n", bench::statusMegabytes("VmRSS:"));
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
    benchmark::RegisterBenchmark("BM_LargeTextCopySaved100kStore", BM_LargeTextCopySaved100kStore)
        ->ArgName("hashedOffMainThread")
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(5);
    benchmark::Initialize(&argc, argv);
    bench::TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double startSeconds = reporter.seconds("BM_StartToCaptureReady");
    const double copySeconds = reporter.seconds("BM_OneCopySaved");

    std::printf("\nFigures against their targets (every view alive)\n");
    std::printf("  start to capture-ready, %d-clip store: %.1f ms (target < 300 ms)\n", largeStore, startSeconds * 1e3);
    std::printf("  one copy saved, %d-clip store: %.2f ms (target < 10 ms)\n", largeStore, copySeconds * 1e3);
    std::printf("  16 MB text copy on the main thread, %d-clip store: %.1f ms (hash taken there: %.1f ms)\n",
                largeStore, reporter.seconds("BM_LargeTextCopySaved100kStore/hashedOffMainThread:1") * 1e3,
                reporter.seconds("BM_LargeTextCopySaved100kStore/hashedOffMainThread:0") * 1e3);
    std::printf("  resident when idle, %d-clip store: %.1f MB (target < 80 MB)\n", largeStore, idleMegabytes);
    std::printf("  resident after %d distinct 1 MB images: %.1f MB (target < 150 MB)\n", imageCount, imagesMegabytes);
    std::printf("  resident after %d short texts: %.1f MB (target < 60 MB)\n", textCount, textsMegabytes);
    return 0;
}
