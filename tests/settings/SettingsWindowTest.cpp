#include "SettingsFixture.h"

#include "cards/ScreenCardSizes.h"
#include "model/SettingsKeys.h"
#include "settings/PreferencesWindow.h"
#include "settings/PreferencesWindowController.h"
#include "settings/SettingsNavigation.h"
#include "settings/SettingsPage.h"
#include "settings/StandardPages.h"
#include "support/DesktopWords.h"
#include "support/ShownText.h"
#include "support/UnnamedControls.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace tamo;
using namespace tamo::testing;

namespace {

// A window over pages that count how often each was built, shown once.
class SettingsWindowTest : public ::testing::Test
{
protected:
    SettingsWindowTest()
    {
        for (const SettingsPage page : allSettingsPages()) {
            pages.add(page, [this, page] {
                ++built[page];
                return new QLabel(pageInfo(page).title);
            });
        }
        controller.setPages(pages);
        controller.showPreferences(std::nullopt);
    }

    SettingsPages pages;
    QMap<SettingsPage, int> built;
    PreferencesWindowController controller;
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

TEST_F(SettingsWindowTest, OpensOnTheAskedPageAndKeepsItAndItsPlace)
{
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
    EXPECT_EQ(built[SettingsPage::privacy], 2) << "opened again, the page starts afresh";

    controller.showPreferences(42); // no such page
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Privacy"));
}

TEST_F(SettingsWindowTest, CtrlWClosesItAndItOpensAgainOnItsPage)
{
    PreferencesWindow *window = controller.window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    controller.navigation().setPage(SettingsPage::bonus);
    QTest::keyClick(window->sidebar(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    controller.showPreferences(std::nullopt);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Bonus"));
}

TEST_F(SettingsWindowTest, SidebarPicksPagesAndNeverDeselects)
{
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
    EXPECT_EQ(built[SettingsPage::shortcuts], 1) << "the page shown is not rebuilt";

    window->sidebar()->setCurrentRow(int(SettingsPage::general));
    window->sidebar()->setCurrentRow(int(SettingsPage::shortcuts));
    EXPECT_EQ(built[SettingsPage::shortcuts], 2) << "a page shown again starts afresh";
}

TEST_F(AppModelFixture, EveryEntryReachesTheSettingsWindowWithItsPage)
{
    model().showPreferences();
    model().showPreferences(0);
    EXPECT_EQ(ext.log, QStringList({"drawer.hide", "settings", "drawer.hide", "settings:0"}));
}

TEST_F(SettingsFixture, EveryControlOfEveryPageHasAName)
{
    startedModel();
    PreferencesWindowController controller;
    controller.setPages(standardSettingsPages(environment()));
    for (const SettingsPage page : allSettingsPages()) {
        controller.showPreferences(int(page));
        PreferencesWindow *window = controller.window();
        const std::string title = pageInfo(page).title.toStdString();
        const QStringList unnamed = unnamedControls(window);
        EXPECT_TRUE(unnamed.isEmpty()) << title << ": " << unnamed.join(u", ").toStdString();
        // A command button is named by the words a person reads on it.
        for (QPushButton *button : window->findChildren<QPushButton *>()) {
            if (button->metaObject() == &QPushButton::staticMetaObject && !button->text().isEmpty()) {
                EXPECT_EQ(shownText(button).toStdString(), QString(button->text()).remove(u'&').toStdString()) << title;
            }
        }
    }
}

TEST_F(SettingsFixture, WhatAPageDoesWhenShownItDoesAgainWhenTheWindowOpensAgainOnIt)
{
    startedModel();
    PreferencesWindowController controller;
    controller.setPages(standardSettingsPages(environment()));
    const QString mainScreen = ScreenCardSizes::screenID(FakeScreens::oneScreen());
    const struct {
        SettingsPage page;
        std::function<void()> whileClosed;
        std::function<bool()> doneAgain;
    } pages[] = {
        {SettingsPage::about, [this] { ext.log.clear(); }, [this] { return ext.log.contains(QStringLiteral("update.fetch")); }},
        {SettingsPage::tamos, [this] { defaults.setValue(keys::screenCardSizesActive, QStringLiteral("elsewhere")); },
         [this, mainScreen] { return defaults.string(keys::screenCardSizesActive) == mainScreen; }},
        {SettingsPage::bonus, [this] { accessibility.trusted = false; }, [this] { return !model().accessibilityGranted(); }},
    };
    for (const auto &page : pages) {
        controller.showPreferences(int(page.page));
        QCoreApplication::processEvents();
        controller.window()->close();
        page.whileClosed();
        controller.showPreferences(std::nullopt);
        QCoreApplication::processEvents();
        EXPECT_TRUE(page.doneAgain()) << pageInfo(page.page).title.toStdString();
    }
}

TEST_F(SettingsFixture, PagesShowDefaultsForUnfitValuesAndWriteNothingUnasked)
{
    startedModel();
    const QString huge(1 << 20, u'x');
    const struct {
        QLatin1StringView key;
        QVariant value;
    } unfit[] = {
        {keys::cardScale, QStringLiteral("big")},      {keys::cardTextScale, 1e300},
        {keys::historyCapacity, -7},                   {keys::pasteNotice, huge},
        {keys::menuBarVisibleCards, 3.5},              {keys::menuBarLayout, 12},
        {keys::shortcutTarget, QVariantList{1, 2}},    {keys::hotKeyDisplay, huge},
        {keys::cardStyle, huge},                       {keys::ignoredApps, QStringLiteral("not a list")},
        {keys::alwaysPlainText, QStringLiteral("yes")}, {keys::iCloudSync, QVariantMap{}},
        {keys::screenCardSizes, QStringLiteral("nonsense")},
    };
    for (const auto &entry : unfit)
        defaults.setValue(entry.key, entry.value);
    const SettingsPages pages = standardSettingsPages(environment());
    for (const SettingsPage page : allSettingsPages()) {
        QVariantMap before = defaults.persistentEntries();
        std::unique_ptr<QWidget> view(pages.build(page));
        view->show();
        QVariantMap after = defaults.persistentEntries();
        // Showing the Clips page makes the main screen's sizes current, as it should.
        for (QVariantMap *entries : {&before, &after}) {
            entries->remove(keys::screenCardSizes);
            entries->remove(keys::screenCardSizesActive);
        }
        EXPECT_EQ(after, before) << pageInfo(page).title.toStdString();
    }
}

TEST_F(SettingsFixture, EveryPageUsesThisDesktopsWords)
{
    startedModel();
    PreferencesWindowController controller;
    controller.setPages(standardSettingsPages(environment()));
    for (const SettingsPage page : allSettingsPages()) {
        controller.showPreferences(int(page));
        const QStringList foreign = foreignWords(textsIn(controller.window()));
        EXPECT_TRUE(foreign.isEmpty()) << pageInfo(page).title.toStdString() << ": "
                                       << foreign.join(u" | ").toStdString();
    }
}
