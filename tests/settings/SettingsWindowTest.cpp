#include "SettingsFixture.h"

#include "settings/PreferencesWindow.h"
#include "settings/PreferencesWindowController.h"
#include "settings/SettingsNavigation.h"
#include "settings/SettingsPage.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>

using namespace tamo;
using namespace tamo::testing;

namespace {

// Pages that count how often each was built.
class CountedPages
{
public:
    CountedPages()
    {
        for (const SettingsPage page : allSettingsPages()) {
            pages.add(page, [this, page] {
                ++built[page];
                return new QLabel(pageInfo(page).title);
            });
        }
    }

    SettingsPages pages;
    QMap<SettingsPage, int> built;
};

} // namespace

TEST(SettingsPageTest, RawValuesMatchExactly)
{
    EXPECT_EQ(settingsPageFromRaw(u"tamos"), SettingsPage::tamos);
    EXPECT_EQ(settingsPageFromRaw(u"General"), std::nullopt);
    EXPECT_EQ(settingsPageFromRaw(u"clips"), std::nullopt);
    EXPECT_EQ(settingsPageAt(4), SettingsPage::bonus);
    EXPECT_EQ(settingsPageAt(6), std::nullopt);
    EXPECT_EQ(settingsPageAt(-1), std::nullopt);
    QStringList titles;
    for (const SettingsPage page : allSettingsPages())
        titles.append(pageInfo(page).title);
    EXPECT_EQ(titles, QStringList({"General", "Clips", "Shortcuts", "Privacy", "Bonus", "About"}));
}

TEST(SettingsWindowTest, OpensOnTheAskedPageAndKeepsItAndItsPlace)
{
    CountedPages counted;
    PreferencesWindowController controller;
    controller.setPages(counted.pages);
    controller.showPreferences(std::nullopt);
    PreferencesWindow *window = controller.window();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("General"));
    EXPECT_EQ(window->size(), QSize(715, 560));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);

    controller.showPreferences(int(SettingsPage::bonus));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Bonus"));
    EXPECT_EQ(window->sidebar()->currentRow(), int(SettingsPage::bonus));

    controller.showPreferences(int(SettingsPage::privacy));
    const QPoint place(123, 77);
    window->move(place);
    window->close();
    EXPECT_FALSE(window->isVisible());
    controller.showPreferences(std::nullopt);
    EXPECT_EQ(controller.window(), window) << "closing only hides the window";
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Privacy"));
    EXPECT_EQ(window->pos(), place);
    EXPECT_EQ(counted.built[SettingsPage::privacy], 1);

    controller.showPreferences(42); // no such page
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Privacy"));
}

TEST(SettingsWindowTest, SidebarPicksPagesAndNeverDeselects)
{
    CountedPages counted;
    PreferencesWindowController controller;
    controller.setPages(counted.pages);
    controller.showPreferences(std::nullopt);
    PreferencesWindow *window = controller.window();
    QSignalSpy changes(&controller.navigation(), &SettingsNavigation::pageChanged);

    window->sidebar()->setCurrentRow(int(SettingsPage::shortcuts));
    EXPECT_EQ(controller.navigation().page(), SettingsPage::shortcuts);
    EXPECT_EQ(qobject_cast<QLabel *>(window->pageView())->text(), QStringLiteral("Shortcuts"));

    window->sidebar()->clearSelection(); // a click on empty space
    EXPECT_EQ(window->sidebar()->currentRow(), int(SettingsPage::shortcuts));
    EXPECT_EQ(controller.navigation().page(), SettingsPage::shortcuts);

    controller.navigation().setPage(SettingsPage::shortcuts); // already shown
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(counted.built[SettingsPage::shortcuts], 1) << "the page shown is not rebuilt";

    window->sidebar()->setCurrentRow(int(SettingsPage::general));
    window->sidebar()->setCurrentRow(int(SettingsPage::shortcuts));
    EXPECT_EQ(counted.built[SettingsPage::shortcuts], 2) << "a page shown again starts afresh";
}

TEST_F(AppModelFixture, EveryEntryReachesTheSettingsWindowWithItsPage)
{
    model().showPreferences();
    model().showPreferences(0);
    EXPECT_EQ(ext.log, QStringList({"drawer.hide", "settings", "drawer.hide", "settings:0"}));
}
