#include "SwitcherFixture.h"

using namespace tamo;
using namespace tamo::testing;

namespace {

using CatalogTest = SwitcherFixture;

TEST_F(CatalogTest, OffersOnlyWindowsThatPassTheFilters)
{
    struct Case
    {
        const char *name;
        std::function<void(FakeWindowServer::Window &)> change;
        bool offered;
    };
    const Case cases[] = {
        {"ordinary", [](auto &) {}, true},
        {"99 wide", [](auto &w) { w.size = {99, 600}; }, false},
        {"99 wide minimised", [](auto &w) { w.size = {99, 600}, w.minimized = true; }, true},
        {"99 wide full screen", [](auto &w) { w.size = {99, 600}, w.fullScreen = true; }, true},
        {"transparent", [](auto &w) { w.alpha = 0.0; }, false},
        {"below ordinary windows", [](auto &w) { w.layer = -1; }, false},
        {"utility kind", [](auto &w) { w.subrole = QStringLiteral("AXFloatingWindow"); }, false},
        {"unknown kind", [](auto &w) { w.subrole.reset(); }, true},
        {"dialog", [](auto &w) { w.subrole = QStringLiteral("AXDialog"); }, true},
    };
    for (const Case &c : cases) {
        server.windows.clear();
        server.apps.clear();
        addApp(10, QStringLiteral("Editor"), {100});
        c.change(server.windows.first());
        EXPECT_EQ(catalog.rows().size(), c.offered ? 1 : 0) << c.name;
    }
}

TEST_F(CatalogTest, ListsNeitherThisProcessNorAccessoriesWithoutWindowsNorAnythingWithoutTrust)
{
    addApp(10, QStringLiteral("Editor"), {100});
    addApp(ownPid, QStringLiteral("TamoCove"), {200});
    addApp(30, QStringLiteral("Tray"), {}, ActivationPolicy::accessory);
    addApp(40, QStringLiteral("Helper"), {400}, ActivationPolicy::accessory);
    EXPECT_EQ(rowIDs(), (QStringList{"10-100", "40-400"}));

    accessibility.trusted = false;
    EXPECT_TRUE(catalog.rows().isEmpty());
}

TEST_F(CatalogTest, CacheKeepsAWindowTheAppStoppedPresentingUntilTheServerDropsIt)
{
    addApp(10, QStringLiteral("Editor"), {100, 101});
    ASSERT_EQ(catalog.rows().size(), 2);

    server.find(101)->presentedByApp = false;
    const QList<WindowSwitcherRow> kept = catalog.rows();
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[1].windowTitle, QStringLiteral("Editor 101")) << "the cached title stands in";

    server.windows.removeLast();
    EXPECT_EQ(rowIDs(), QStringList{"10-100"});
    EXPECT_EQ(catalog.cachedWindowCount(), 1);
}

TEST_F(CatalogTest, PruneDropsWindowsOnNoDesktopUnlessMinimisedOrTheAppIsHidden)
{
    addApp(10, QStringLiteral("Editor"), {100, 101, 102});
    catalog.rows();
    for (quint32 number : {100, 101, 102})
        server.find(number)->presentedByApp = false;
    server.find(100)->onAnyDesktop = false;
    server.find(101)->onAnyDesktop = std::nullopt; // cannot be told: stays
    server.find(102)->onAnyDesktop = false;
    server.find(102)->minimized = true;
    server.find(102)->presentedByApp = true;
    EXPECT_EQ(rowIDs(), (QStringList{"10-101", "10-102"}));

    server.apps.first().hidden = true;
    server.find(101)->onAnyDesktop = false;
    EXPECT_EQ(rowIDs().size(), 2) << "a hidden app's windows stay";
}

TEST_F(CatalogTest, OrdersByRecentWindowThenRecentAppThenScreenThenFrontAppThenPid)
{
    addApp(30, QStringLiteral("Third"), {300});
    addApp(10, QStringLiteral("First"), {100, 101});
    addApp(20, QStringLiteral("Second"), {200});
    // Screen order without any recency: front to back.
    EXPECT_EQ(rowIDs(), (QStringList{"30-300", "10-100", "10-101", "20-200"}));

    recent.bumpApp(20);
    recent.bumpWindow(QStringLiteral("10-101"));
    EXPECT_EQ(rowIDs(), (QStringList{"10-101", "20-200", "30-300", "10-100"}));
}

TEST_F(CatalogTest, OffScreenWindowsOfTheFrontAppComeBeforeOthersAndByNumber)
{
    addApp(20, QStringLiteral("Other"), {});
    addApp(10, QStringLiteral("Front"), {});
    for (auto [pid, number] : {std::pair{20, 205}, {10, 107}, {10, 103}}) {
        FakeWindowServer::Window window;
        window.pid = pid;
        window.number = number;
        window.minimized = true;
        server.add(window);
    }
    server.front = 10;
    EXPECT_EQ(rowIDs(), (QStringList{"10-103", "10-107", "20-205"}));
}

TEST_F(CatalogTest, AHiddenAppsWindowsComeAfterAVisibleAppsMinimisedOnes)
{
    addApp(10, QStringLiteral("Hidden"), {100});
    addApp(20, QStringLiteral("Visible"), {200});
    server.apps.first().hidden = true;
    server.find(100)->onScreen = false;
    server.find(200)->minimized = true;
    EXPECT_EQ(rowIDs(), (QStringList{"20-200", "10-100"}));
}

TEST_F(CatalogTest, FrontAppsFocusedWindowComesFirstAndIsSelected)
{
    addApp(10, QStringLiteral("Editor"), {100, 101});
    addApp(20, QStringLiteral("Viewer"), {200});
    server.bringForward(10, 101);
    const QList<WindowSwitcherRow> rows = catalog.rows();
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.first().id, QStringLiteral("10-101"));
    EXPECT_EQ(catalog.initialSelection(rows), 0);
    EXPECT_EQ(recent.pids().first(), 10);

    // Without a focused window: the front app's first row.
    server.focused.clear();
    recent = RecentWindows();
    const QList<WindowSwitcherRow> unfocused = catalog.rows();
    EXPECT_EQ(unfocused[catalog.initialSelection(unfocused)].app.pid, 10);

    server.front = 0;
    EXPECT_EQ(catalog.initialSelection(unfocused), 0);
    EXPECT_EQ(catalog.initialSelection({}), 0);
}

TEST_F(CatalogTest, WarmUpReadsRegularAppsIntoTheCache)
{
    addApp(10, QStringLiteral("Editor"), {100, 101});
    addApp(20, QStringLiteral("Helper"), {200}, ActivationPolicy::accessory);
    catalog.warmUp();
    EXPECT_EQ(catalog.cachedWindowCount(), 2);

    accessibility.trusted = false;
    addApp(30, QStringLiteral("Late"), {300});
    catalog.warmUp();
    EXPECT_EQ(catalog.cachedWindowCount(), 2);
}

TEST(WindowSwitcherRowTest, DisplayTitlesAndIdentifiers)
{
    WindowSwitcherRow window;
    window.app.pid = 512;
    window.windowNumber = 4711;
    window.id = window.windowRowID = windowKey(512, 4711);
    EXPECT_EQ(window.id, QStringLiteral("512-4711"));
    EXPECT_EQ(window.displayTitle(), QStringLiteral("App"));
    window.app.info.name = QStringLiteral("Editor");
    EXPECT_EQ(window.displayTitle(), QStringLiteral("Editor"));
    window.windowTitle = QStringLiteral("notes.txt");
    EXPECT_EQ(window.displayTitle(), QStringLiteral("notes.txt"));

    const WindowSwitcherRow newTab = window.newTabRow();
    EXPECT_EQ(newTab.id, QStringLiteral("512-4711-newtab"));
    EXPECT_EQ(newTab.displayTitle(), QStringLiteral("New Tab"));
    const WindowSwitcherRow tab = window.tabRow(BrowserTab(), 3);
    EXPECT_EQ(tab.id, QStringLiteral("512-4711-tab3"));
    EXPECT_EQ(tab.windowRowID, QStringLiteral("512-4711"));
    EXPECT_EQ(tab.displayTitle(), QStringLiteral("Untitled tab"));
}

TEST(RecentWindowsTest, MovesToTheFrontWithoutDuplicatesAndKeepsEighty)
{
    RecentWindows recent;
    for (qint64 pid = 1; pid <= 81; ++pid)
        recent.bumpApp(pid);
    EXPECT_EQ(recent.pids().size(), 80);
    EXPECT_FALSE(recent.pids().contains(1));
    recent.bumpApp(40);
    EXPECT_EQ(recent.pids().first(), 40);
    EXPECT_EQ(recent.pids().count(40), 1);
    recent.bumpWindow(QString());
    EXPECT_TRUE(recent.windowKeys().isEmpty());
}

} // namespace
