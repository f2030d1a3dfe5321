#include "bonus/BrowserTabs.h"
#include "support/FakeAccessibleTree.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

// A browser window: a tool bar with the address field and a tab strip.
class BrowserTabsTest : public ::testing::Test
{
protected:
    BrowserTabsTest()
    {
        frame = tree.add({}, QStringLiteral("frame"), QStringLiteral("Browser"));
        tree.windowsByTitle.insert(QStringLiteral("Browser"), frame);
        const QString toolBar = tree.add(frame, QStringLiteral("tool bar"));
        address = tree.add(toolBar, QStringLiteral("entry"));
        tree.node(address).text = QStringLiteral("news.example.org/today");
        strip = tree.add(frame, QStringLiteral("page tab list"));
        for (const char *title : {"News", "Mail", "Docs"})
            tabs.append(tree.add(strip, QStringLiteral("page tab"), QLatin1String(title)));
        tree.node(tabs[0]).selected = true;
    }

    TabWindow window() const { return {1, 77, QStringLiteral("Browser"), false}; }

    FakeAccessibleTree tree;
    FakeClock clock;
    BrowserTabs browserTabs{tree, clock, {QStringLiteral("browser")}};
    QString frame, address, strip;
    QStringList tabs;
};

TEST(BrowserTabsAddressTest, HostsComeOnlyFromWebAddressesWithADot)
{
    const std::pair<const char *, std::optional<QString>> cases[] = {
        {"https://Example.COM/path", "example.com"},
        {"  example.org/a?b  ", "example.org"},
        {"http://sub.example.net:8080", "sub.example.net"},
        {"", std::nullopt},
        {"two words", std::nullopt},
        {"localhost:3000", std::nullopt},
        {"file:///etc/hosts", std::nullopt},
        {"ftp://files.example.com", std::nullopt},
        {"HTTPS://example.com", std::nullopt},
    };
    for (const auto &[text, host] : cases)
        EXPECT_EQ(BrowserTabs::addressBarHost(QLatin1String(text)), host) << text;
}

TEST_F(BrowserTabsTest, ListsTheStripsTabsWithTheCurrentOnesHost)
{
    const QList<BrowserTab> found = browserTabs.tabs(window());
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found[0].title, QStringLiteral("News"));
    EXPECT_TRUE(found[0].isSelected);
    EXPECT_EQ(found[0].host, QStringLiteral("news.example.org"));
    EXPECT_FALSE(found[1].host) << "a tab never seen current has no host";

    // Mail becomes current: News keeps the host it had.
    tree.node(tabs[0]).selected = false;
    tree.node(tabs[1]).selected = true;
    tree.node(address).text = QStringLiteral("https://mail.example.org/inbox");
    const QList<BrowserTab> later = browserTabs.tabs(window());
    EXPECT_EQ(later[0].host, QStringLiteral("news.example.org"));
    EXPECT_EQ(later[1].host, QStringLiteral("mail.example.org"));
}

TEST_F(BrowserTabsTest, NeverSearchesInsideWebContent)
{
    tree.remove(strip);
    const QString web = tree.add(frame, QStringLiteral("document web"));
    const QString inner = tree.add(web, QStringLiteral("page tab list"));
    tree.add(inner, QStringLiteral("page tab"), QStringLiteral("A"));
    tree.add(inner, QStringLiteral("page tab"), QStringLiteral("B"));
    EXPECT_TRUE(browserTabs.cachedTabButtons(window()).isEmpty());
}

TEST_F(BrowserTabsTest, ALoneTabClimbsToTheAncestorWithMoreTabs)
{
    tree.remove(strip);
    const QString grandparent = tree.add(frame, QStringLiteral("panel"));
    const QString parent = tree.add(grandparent, QStringLiteral("panel"));
    tree.add(parent, QStringLiteral("page tab"), QStringLiteral("A"));
    const QString sibling = tree.add(grandparent, QStringLiteral("panel"));
    tree.add(sibling, QStringLiteral("page tab"), QStringLiteral("B"));
    tree.add(sibling, QStringLiteral("page tab"), QStringLiteral("C"));
    EXPECT_EQ(browserTabs.cachedTabButtons(window()).size(), 3);
}

TEST_F(BrowserTabsTest, AFailedSearchWaitsFiveSecondsAndARebuiltStripIsFoundAgain)
{
    const TabWindow plain{1, 78, QStringLiteral("Plain"), false};
    tree.windowsByTitle.insert(QStringLiteral("Plain"), tree.add({}, QStringLiteral("frame"), QStringLiteral("Plain")));
    EXPECT_TRUE(browserTabs.cachedTabButtons(plain).isEmpty());
    const int reads = tree.reads;
    clock.advance(4900);
    EXPECT_TRUE(browserTabs.cachedTabButtons(plain).isEmpty());
    EXPECT_EQ(tree.reads, reads) << "no second search within 5 s";
    clock.advance(200);
    browserTabs.cachedTabButtons(plain);
    EXPECT_GT(tree.reads, reads);

    ASSERT_EQ(browserTabs.cachedTabButtons(window()).size(), 3);
    tree.remove(strip);
    const QString rebuilt = tree.add(frame, QStringLiteral("page tab list"));
    for (const char *title : {"X", "Y"})
        tree.add(rebuilt, QStringLiteral("page tab"), QLatin1String(title));
    EXPECT_EQ(browserTabs.cachedTabButtons(window()).size(), 2);
}

TEST_F(BrowserTabsTest, RemembersAtMostFiveHundredTitlesNewestLast)
{
    tree.node(tabs[0]).name = QStringLiteral("title 0");
    browserTabs.rememberSelectedTab(window());
    for (int i = 1; i <= 500; ++i) {
        tree.node(tabs[0]).name = QStringLiteral("title %1").arg(i);
        if (i == 300) {
            tree.node(tabs[0]).name = QStringLiteral("title 0"); // stored again: newest
            browserTabs.rememberSelectedTab(window());
            tree.node(tabs[0]).name = QStringLiteral("title 300");
        }
        browserTabs.rememberSelectedTab(window());
    }
    EXPECT_TRUE(browserTabs.rememberedHost(QStringLiteral("title 0")));
    EXPECT_FALSE(browserTabs.rememberedHost(QStringLiteral("title 1")));
    EXPECT_TRUE(browserTabs.rememberedHost(QStringLiteral("title 500")));
}

TEST_F(BrowserTabsTest, PruneKeepsOnlyListedWindows)
{
    browserTabs.tabs(window());
    const auto cost = [&] {
        const int before = tree.reads;
        browserTabs.cachedTabButtons(window());
        return tree.reads - before;
    };
    const int cached = cost();
    browserTabs.pruneCaches({window().number});
    EXPECT_EQ(cost(), cached);
    browserTabs.pruneCaches({});
    EXPECT_GT(cost(), cached) << "searched afresh";
}

TEST_F(BrowserTabsTest, NewTabPressesTheItemBoundToCtrlT)
{
    const QString app = tree.add({}, QStringLiteral("application"));
    tree.applications.insert(1, app);
    const QString window = tree.add(app, QStringLiteral("frame"));
    const QString bar = tree.add(window, QStringLiteral("menu bar"));
    const QString menu = tree.add(bar, QStringLiteral("menu"), QStringLiteral("File"));
    const QString newWindow = tree.add(menu, QStringLiteral("menu item"), QStringLiteral("New Window"));
    tree.node(newWindow).keyBinding = QStringLiteral("<Control>n");
    const QString shifted = tree.add(menu, QStringLiteral("menu item"), QStringLiteral("Reopen"));
    tree.node(shifted).keyBinding = QStringLiteral("<Control><Shift>t");
    EXPECT_FALSE(browserTabs.pressNewTabItem(1));
    EXPECT_TRUE(tree.pressed.isEmpty());

    const QString newTab = tree.add(menu, QStringLiteral("menu item"), QStringLiteral("New Tab"));
    tree.node(newTab).keyBinding = QStringLiteral("<Control>T");
    EXPECT_TRUE(browserTabs.pressNewTabItem(1));
    EXPECT_EQ(tree.pressed, QStringList{newTab});
}

} // namespace
