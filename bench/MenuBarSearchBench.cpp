// One character typed into the menu-bar panel's search over a 100-, a
// 100,000- and a 1,000,000-clip history: the time from the keystroke until its
// first results are on screen, until the whole list is, and the main thread's
// longest stall meanwhile, measured as the longest gap between the turns of a
// 1 ms timer (target ≤ 16 ms).
#include "BenchApp.h"
#include "HistoryFill.h"
#include "TimingReporter.h"

#include "drawer/TamoPanel.h"
#include "menubar/MenuBarClipsView.h"
#include "menubar/MenuBarViewState.h"
#include "model/ModelContainer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

using namespace tamo;

namespace {

std::map<int, QString> storeFolders;
std::map<int, double> longestStallSeconds;
std::map<int, double> wholeListSeconds;

// The longest time the event loop went without turning, from a timer that
// asks to run every millisecond.
class StallMeter
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }

    void start()
    {
        m_longestNs = 0;
        m_sinceTick.start();
        m_timer.start();
    }
    double stop()
    {
        tick();
        m_timer.stop();
        return m_longestNs / 1e9;
    }

private:
    void tick()
    {
        m_longestNs = std::max(m_longestNs, m_sinceTick.nsecsElapsed());
        m_sinceTick.restart();
    }

    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    qint64 m_longestNs = 0;
};

void typeCharacter(QWidget *field, QChar character)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QCoreApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QCoreApplication::sendEvent(field, &release);
}

void BM_KeystrokeToResults(benchmark::State &state)
{
    const int clips = int(state.range(0));
    bench::App app(storeFolders.at(clips));
    bench::settle();
    app.menuBarClips.show();
    bench::settle();
    auto *view = app.menuBarClips.panel()->findChild<MenuBarClipsView *>();
    MenuBarViewState &search = view->viewState();
    StallMeter meter;
    double longest = 0;
    double wholeList = 0;
    for (auto _ : state) {
        search.clearSearch(); // the field follows; clearing the field alone tells the panel nothing
        bench::settle();
        meter.start();
        QElapsedTimer timer;
        timer.start();
        typeCharacter(view->searchField(), QLatin1Char('7')); // about a third of the clips hold a 7
        const auto waitFor = [](const auto &condition) {
            while (!condition())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::processEvents(); // the cards it shows are laid out and painted
        };
        waitFor([&] { return !search.visibleIDs().isEmpty(); });
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        waitFor([&] { return search.results().has_value(); });
        wholeList = std::max(wholeList, timer.nsecsElapsed() / 1e9);
        longest = std::max(longest, meter.stop());
        state.counters["matches"] = double(search.visibleIDs().size());
    }
    longestStallSeconds[clips] = longest;
    wholeListSeconds[clips] = wholeList;
    state.counters["longest_stall_ms"] = longest * 1e3;
    state.counters["whole_list_ms"] = wholeList * 1e3;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir stores;
    for (const int clips : {100, 100'000, 1'000'000}) {
        const QString folder = stores.filePath(QString::number(clips));
        bench::fillStore(folder, clips, [](int i) {
            return ClipDraft::fromText(QStringLiteral("clip %1 of a long history, copied from a busy day").arg(i));
        });
        storeFolders[clips] = folder;
    }
    benchmark::RegisterBenchmark("BM_KeystrokeToResults", BM_KeystrokeToResults)
        ->Arg(100)
        ->Arg(100'000)
        ->Arg(1'000'000)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    bench::TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nFigures against their targets (menu-bar panel open, one character typed)\n");
    for (const auto &[clips, folder] : storeFolders) {
        const std::string name = "BM_KeystrokeToResults/" + std::to_string(clips);
        std::printf("  %d clips: first results shown after %.0f ms, the whole list after %.0f ms; main thread's "
                    "longest stall %.1f ms (target <= 16 ms)\n",
                    clips, reporter.seconds(name) * 1e3, wholeListSeconds[clips] * 1e3,
                    longestStallSeconds[clips] * 1e3);
    }
    return 0;
}
