#include "SwitcherFixture.h"
#include "app/AppHooks.h"
#include "app/GlobalHotKeyRegistry.h"
#include "bonus/BonusToolbox.h"
#include "model/SettingsKeys.h"
#include "platform/KeyCodes.h"
#include "support/FakeAccessibleTree.h"
#include "support/FakeClock.h"
#include "support/FakeEventPoster.h"
#include "support/FakeGlobalHotKeys.h"

#include <QKeyEvent>
#include <QNetworkAccessManager>

#include <QTest>

using namespace tamo;
using namespace tamo::testing;

namespace {

class RecordingDrawer : public DrawerPanel
{
public:
    void hide(bool animated) override { hides.append(animated); }
    QList<bool> hides;
};

// Delays short enough to wait out, in the same proportions.
constexpr SwitcherDelays delays{15, 30, 50};

class ServiceTest : public SwitcherFixture
{
protected:
    ServiceTest()
    {
        addApp(10, QStringLiteral("Editor"), {100, 101});
        addApp(20, QStringLiteral("Viewer"), {200});
        server.front = 10;
        server.focused.insert(10, 101);
        hotKeys.registerWindowSwitcherFromDefaults();
        toolbox.attach(hotKeys);
        toolbox.createWindowSwitcher();
    }

    WindowSwitcherService &service() { return *toolbox.windowSwitcher(); }
    const RecentWindows &used() const { return toolbox.recentWindows(); }

    FakeGlobalHotKeys systemHotKeys;
    GlobalHotKeyRegistry hotKeys{systemHotKeys, defaults};
    RecordingDrawer drawer;
    FakeAccessibleTree tree;
    FakeEventPoster eventPoster;
    QNetworkAccessManager network;
    FakeClock clock;
    BonusToolbox toolbox{{&server, &accessibility, &defaults, &screens, &drawer, &tree, nullptr, &eventPoster, &network,
                          &clock, dir.file(QStringLiteral("Favicons"))},
                         ownPid, delays};
};

TEST_F(ServiceTest, HotKeyTogglesThePanelAndHidesTheDrawerFirst)
{
    systemHotKeys.press(WindowSwitcherSlot);
    EXPECT_TRUE(toolbox.isWindowSwitcherVisible());
    EXPECT_EQ(drawer.hides, QList<bool>{false});
    systemHotKeys.press(WindowSwitcherSlot);
    EXPECT_FALSE(toolbox.isWindowSwitcherVisible());
    EXPECT_TRUE(service().controller().state().rows().isEmpty());

    // While open the panel holds the keyboard, so the hot key arrives as keys (⌃1 is Super+1).
    systemHotKeys.press(WindowSwitcherSlot);
    QKeyEvent hotKey(QEvent::KeyPress, Qt::Key_1, Qt::MetaModifier);
    EXPECT_TRUE(service().controller().handleKey(hotKey));
    EXPECT_FALSE(toolbox.isWindowSwitcherVisible());

    // TamoCove's other shortcuts run too, as the main one brings the drawer.
    int mainShortcutPresses = 0;
    hotKeys.registerSlot(MainShortcutSlot, KeyCodes::KeyV, KeyCodes::CommandKey | KeyCodes::ShiftKey);
    hotKeys.setHandler(MainShortcutSlot, [&] { ++mainShortcutPresses; });
    systemHotKeys.press(WindowSwitcherSlot);
    QKeyEvent mainShortcut(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(service().controller().handleKey(mainShortcut));
    EXPECT_EQ(mainShortcutPresses, 1);
    toolbox.hideWindowSwitcher();

    accessibility.trusted = false;
    systemHotKeys.press(WindowSwitcherSlot);
    EXPECT_FALSE(toolbox.isWindowSwitcherVisible());
}

TEST_F(ServiceTest, AnActivationBumpsTheAppAtOnceAndItsWindowAfterTheDelay)
{
    server.focused.insert(20, 200);
    server.bringForward(20, 200);
    EXPECT_EQ(used().pids().value(0), 20);
    EXPECT_EQ(service().focusWatcher().pid(), 20);
    EXPECT_FALSE(used().windowKeys().contains(QStringLiteral("20-200")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return used().windowKeys().value(0) == QStringLiteral("20-200"); }, 1000));

    // Another window of the watched app takes the focus.
    FakeWindowServer::Window second = server.windows.last();
    second.number = 201;
    server.add(second);
    server.bringForward(20, 201);
    EXPECT_EQ(used().windowKeys().value(0), QStringLiteral("20-201"));
}

TEST_F(ServiceTest, ActivatingThisAppLeavesTheRecentListsAndEndsTheWatch)
{
    server.bringForward(20, 200);
    QTest::qWait(delays.focusNoteMs * 3);
    const QList<qint64> pids = used().pids();
    const QStringList keys = used().windowKeys();
    server.bringForward(ownPid, 900);
    QTest::qWait(delays.focusNoteMs * 3);
    EXPECT_EQ(used().pids(), pids);
    EXPECT_EQ(used().windowKeys(), keys);
    EXPECT_EQ(service().focusWatcher().pid(), 0);
}

TEST_F(ServiceTest, ADesktopSwitchReadsTheFrontAppAfterTheDelay)
{
    server.apps[1].policy = ActivationPolicy::accessory; // left out of the warm-up at start
    QTest::qWait(5);
    ASSERT_EQ(toolbox.catalog().cachedWindowCount(), 2);
    server.front = 20;
    server.switchDesktop();
    EXPECT_EQ(toolbox.catalog().cachedWindowCount(), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return toolbox.catalog().cachedWindowCount() == 3; }, 1000));
}

TEST_F(ServiceTest, SwitchingOffHidesAndReleasesTheHotKeyHandler)
{
    systemHotKeys.press(WindowSwitcherSlot);
    toolbox.hideWindowSwitcher();
    EXPECT_FALSE(toolbox.isWindowSwitcherVisible());
    toolbox.destroyWindowSwitcher();
    EXPECT_FALSE(toolbox.hasWindowSwitcher());
    systemHotKeys.press(WindowSwitcherSlot); // finds no service, and no handler left behind
}

} // namespace

TEST(BonusToolboxReport, SavedSizesCountedAndNoInputToolsMeansNothingWatched)
{
    FakeWindowServer server;
    FakeAccessibility accessibility;
    TempDir dir;
    Defaults defaults(dir.file(QStringLiteral("defaults.json")));
    FakeScreens screens;
    FakeAccessibleTree tree;
    FakeClock clock;
    QNetworkAccessManager network;
    BonusToolbox toolbox({&server, &accessibility, &defaults, &screens, nullptr, &tree, nullptr, nullptr, &network,
                          &clock, dir.file(QStringLiteral("Favicons"))},
                         1);
    auto entry = [](const char *name, bool captured) {
        return QVariantMap{{"name", name}, {"width", 1920}, {"height", 1080}, {"windowWidth", 800},
                           {"windowHeight", 600}, {"captured", captured}};
    };
    defaults.setValue(keys::windowSizes, QVariantMap{{"a", entry("Desk", true)}, {"b", entry("Laptop", false)}});
    const WindowSizeCounts sizes = toolbox.windowSizeCounts();
    EXPECT_EQ(sizes.screensWithSize, 2);
    EXPECT_EQ(sizes.captured, 1);
    EXPECT_FALSE(toolbox.isWatchingAppSwitches());
    EXPECT_FALSE(toolbox.followsWindowLayout());
    EXPECT_FALSE(toolbox.tapToClick());
    EXPECT_TRUE(toolbox.recentInputSourceSwitches().isEmpty());
}
