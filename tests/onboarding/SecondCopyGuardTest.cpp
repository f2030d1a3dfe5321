#include "support/FakeAlerts.h"
#include "support/FakeClock.h"
#include "support/TempDir.h"

#include "model/SettingsKeys.h"
#include "onboarding/SecondCopyGuard.h"
#include "platform/Defaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <gtest/gtest.h>

namespace tamo::testing {
namespace {

// Install folders with real files in them: the guard looks on disk whether a
// copy it closed is still there to offer.
class Folders
{
public:
    Folders()
    {
        QDir(m_root.path()).mkpath(QStringLiteral("Applications"));
        QDir(m_root.path()).mkpath(QStringLiteral("bin"));
        for (const char *file : {"Applications/tamocove", "Applications/Vostra.AppImage", "Applications/Tamo.AppImage",
                                 "bin/tamocove"})
            writeFile(m_root.file(QString::fromLatin1(file)), "ELF");
    }
    QString path(const char *name) const { return m_root.file(QString::fromLatin1(name)); }

private:
    TempDir m_root;
};

const Folders &folders()
{
    static const Folders instance;
    return instance;
}

// Processes as a table; each one quits after being asked, when the test says so.
class FakeProgramCopies : public ProgramCopies
{
public:
    struct Process
    {
        RunningCopy copy;
        std::optional<qint64> quitsAfterMs; // after terminate; nothing: ignores it
        bool announces = false;
        bool running = true;
        std::optional<QDateTime> quitAt;
    };

    explicit FakeProgramCopies(FakeClock &clock) : m_clock(clock) {}

    QString own = folders().path("Applications/tamocove");
    qint64 ownTicks = 1000;
    QMap<qint64, Process> processes;
    QStringList installedList;
    QStringList log;
    QStringList trashed;
    bool announced = false;

    void add(qint64 pid, const QString &location, qint64 ticks, std::optional<qint64> quitsAfterMs = 0,
             bool announces = false)
    {
        processes.insert(pid, {{pid, location, ticks}, quitsAfterMs, announces, true, std::nullopt});
    }

    QString ownLocation() const override { return own; }
    qint64 ownStartTicks() const override { return ownTicks; }
    QList<RunningCopy> others() const override
    {
        QList<RunningCopy> copies;
        for (const Process &p : processes) {
            if (isRunning(p.copy.pid))
                copies.append(p.copy);
        }
        return copies;
    }
    QStringList installedLocations() const override { return installedList; }
    bool isRunning(qint64 pid) const override
    {
        const Process &p = processes[pid];
        return p.running && !(p.quitAt && m_clock.now() >= *p.quitAt);
    }
    void terminate(qint64 pid) override
    {
        log.append(QStringLiteral("term %1").arg(pid));
        Process &p = processes[pid];
        if (p.quitsAfterMs && !p.quitAt)
            p.quitAt = m_clock.now().addMSecs(*p.quitsAfterMs);
    }
    void forceTerminate(qint64 pid) override
    {
        log.append(QStringLiteral("kill %1").arg(pid));
        processes[pid].running = false;
    }
    void announceGuard() override { announced = true; }
    bool announcesGuard(qint64 pid) const override { return processes[pid].announces; }
    std::optional<QString> moveToTrash(const QString &location) override
    {
        trashed.append(location);
        return std::nullopt;
    }

private:
    FakeClock &m_clock;
};

class SecondCopyGuardTest : public ::testing::Test
{
protected:
    SecondCopyGuard::Services services()
    {
        auto pause = [this](int ms) { clock.advance(ms); };
        auto later = [this](int ms, std::function<void()> action) {
            scheduled.append({clock.now().addMSecs(ms), std::move(action)});
        };
        return {copies, alerts, [this] { ++loginRefreshes; }, clock, pause, later};
    }

    // Moves the clock on, running what falls due in order.
    void advance(qint64 ms)
    {
        const QDateTime end = clock.now().addMSecs(ms);
        for (;;) {
            auto next = std::min_element(scheduled.begin(), scheduled.end(),
                                         [](const auto &a, const auto &b) { return a.first < b.first; });
            if (next == scheduled.end() || next->first > end)
                break;
            clock.set(next->first);
            auto action = std::move(next->second);
            scheduled.erase(next);
            action();
        }
        clock.set(end);
    }

    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    FakeClock clock;
    FakeProgramCopies copies{clock};
    FakeAlerts alerts;
    int loginRefreshes = 0;
    QList<std::pair<QDateTime, std::function<void()>>> scheduled;
    const QString installed = folders().path("Applications");
    const QString bin = folders().path("bin");
    SecondCopyGuard guard{services(), {installed, bin}};
};

TEST_F(SecondCopyGuardTest, OnlyCopiesDirectlyInAnInstallFolderCount)
{
    EXPECT_TRUE(guard.isInstalled(installed + QStringLiteral("/Tamo.AppImage")));
    EXPECT_TRUE(guard.isInstalled(bin + QStringLiteral("/tamocove")));
    EXPECT_FALSE(guard.isInstalled(installed + QStringLiteral("/old/tamocove")));
    EXPECT_FALSE(guard.isInstalled(QStringLiteral("/home/u/Downloads/tamocove")));
    EXPECT_FALSE(guard.isInstalled(QString()));
}

TEST_F(SecondCopyGuardTest, LaunchQuitsOlderCopiesOfOtherPlacesAndForcesTheStubborn)
{
    copies.add(11, bin + QStringLiteral("/tamocove"), 500, 250);         // quits soon
    copies.add(12, installed + QStringLiteral("/Vostra.AppImage"), 600, std::nullopt); // ignores it
    copies.add(13, copies.own, 700);                                     // the very same copy
    copies.add(14, QStringLiteral("/home/u/Downloads/tamocove"), 800);   // not installed
    copies.add(15, installed + QStringLiteral("/Tamo.AppImage"), 2000);  // started after us
    copies.add(16, QString(), 900);                                      // gone unreadable
    const QDateTime start = clock.now();
    guard.terminateRunningCopies();
    EXPECT_EQ(copies.log, (QStringList{"term 11", "term 12", "kill 12"}));
    EXPECT_GE(start.msecsTo(clock.now()), SecondCopyGuard::launchWaitMs);
    EXPECT_LT(start.msecsTo(clock.now()), SecondCopyGuard::launchWaitMs + 200);
    EXPECT_TRUE(copies.announced);

    // A copy that quits in time ends the wait at the next step.
    FakeProgramCopies quick(clock);
    quick.add(21, bin + QStringLiteral("/tamocove"), 500, 250);
    SecondCopyGuard::Services s = services();
    SecondCopyGuard quickGuard({quick, s.alerts, s.refreshLoginItem, s.clock, s.pause, s.later}, {installed, bin});
    const QDateTime quickStart = clock.now();
    quickGuard.terminateRunningCopies();
    EXPECT_EQ(quick.log, QStringList{"term 21"});
    EXPECT_EQ(quickStart.msecsTo(clock.now()), 300);
}

TEST_F(SecondCopyGuardTest, ACopyRunFromElsewhereQuitsNothingButStillFixesTheLoginItem)
{
    copies.own = QStringLiteral("/home/u/Downloads/tamocove");
    copies.add(11, bin + QStringLiteral("/tamocove"), 500);
    copies.installedList = {bin + QStringLiteral("/tamocove")};
    guard.terminateRunningCopies();
    guard.run(true, defaults);
    guard.run(true, defaults);
    EXPECT_TRUE(copies.log.isEmpty());
    EXPECT_FALSE(copies.announced);
    EXPECT_TRUE(scheduled.isEmpty());
    EXPECT_EQ(loginRefreshes, 1);
    EXPECT_TRUE(defaults.boolValue(keys::renameNoticeShown));
}

TEST_F(SecondCopyGuardTest, FreshInstallLeavesTheLoginItemAlone)
{
    guard.run(false, defaults);
    guard.run(true, defaults);
    EXPECT_EQ(loginRefreshes, 0);
}

TEST_F(SecondCopyGuardTest, LaterCopiesAreClosedWithOneAlertUnlessTheyGuardThemselves)
{
    guard.terminateRunningCopies();
    copies.add(31, bin + QStringLiteral("/tamocove"), 5000, std::nullopt);
    copies.add(32, installed + QStringLiteral("/Vostra.AppImage"), 5001, 100);
    copies.add(33, installed + QStringLiteral("/Tamo.AppImage"), 5002, 0, true); // quits us instead
    guard.handleRunningCopiesChange(); // first sighting: a guarded copy may not have announced yet
    EXPECT_TRUE(copies.log.isEmpty());

    alerts.answer(1); // Keep It
    guard.handleRunningCopiesChange();
    guard.handleRunningCopiesChange(); // already being handled
    EXPECT_EQ(copies.log, (QStringList{"term 31", "term 32"}));
    advance(SecondCopyGuard::closedAlertDelayMs);
    ASSERT_EQ(alerts.shown().size(), 1);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("The other copy of TamoCove was closed"));
    EXPECT_EQ(alerts.shown()[0].buttons, (QStringList{"Move to Trash", "Keep It"}));
    advance(SecondCopyGuard::forceQuitDelayMs);
    EXPECT_EQ(copies.log, (QStringList{"term 31", "term 32", "kill 31"}));
    EXPECT_TRUE(copies.trashed.isEmpty());
}

TEST_F(SecondCopyGuardTest, EachInstalledCopyIsOfferedOnceOneALaunch)
{
    const QString first = bin + QStringLiteral("/tamocove");
    const QString second = installed + QStringLiteral("/Vostra.AppImage");
    copies.installedList = {copies.own, first, QStringLiteral("/opt/x/tamocove"), second};
    copies.add(41, second, 500, 0);

    alerts.answer(1); // Keep It
    guard.run(false, defaults);
    advance(SecondCopyGuard::launchOfferDelayMs);
    alerts.answer(0); // Move to Trash
    guard.run(false, defaults);
    advance(SecondCopyGuard::launchOfferDelayMs);
    guard.run(false, defaults);
    advance(SecondCopyGuard::launchOfferDelayMs);

    ASSERT_EQ(alerts.shown().size(), 2);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("Another copy of TamoCove is installed"));
    EXPECT_EQ(alerts.shown()[1].message, QStringLiteral("Another copy of TamoCove is installed"));
    // Two copies both named tamocove are told apart by their places.
    EXPECT_TRUE(alerts.shown()[0].informativeText.startsWith(
        QStringLiteral("This copy: %1\nThe other copy: %2\n").arg(copies.own, first)));
    EXPECT_EQ(alerts.shown()[1].informativeText,
              QStringLiteral("This copy: %1\nThe other copy: %2\n\n").arg(copies.own, second)
                  + QStringLiteral("Both copies share your history, so only one can run. Your clips, pinboards and "
                                   "settings are all here.\n\nThey're saved on this computer, not inside the app, so "
                                   "the other copy is safe to delete. Move it to the Trash?"));
    EXPECT_EQ(defaults.stringList(keys::renameExtraCopiesOffered), (QStringList{first, second}));
    EXPECT_EQ(copies.log, QStringList{"term 41"}); // the running copy is asked to quit first
    EXPECT_EQ(copies.trashed, QStringList{second});
}

} // namespace
} // namespace tamo::testing
