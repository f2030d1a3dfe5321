#include "app/AppModelFixture.h"

#include "model/SettingsKeys.h"
#include "onboarding/FeatureTour.h"
#include "onboarding/OnboardingStyle.h"
#include "onboarding/OnboardingWindow.h"
#include "onboarding/ShortcutComparisonBar.h"
#include "onboarding/TourPages.h"
#include "settings/ShortcutRecorder.h"
#include "settings/SwitchToggle.h"
#include "support/DesktopWords.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tamo::testing {
namespace {

class FeatureTourTest : public AppModelFixture
{
protected:
    FeatureTourTest() { startedModel(); }

    TourView &view() { return *static_cast<TourView *>(tour.window()->content()); }
    // Widgets added to a shown layout appear from the event loop.
    QPushButton *button(const QString &text)
    {
        QCoreApplication::processEvents();
        for (QPushButton *b : tour.window()->findChildren<QPushButton *>()) {
            if (b->text() == text && b->isVisibleTo(tour.window()))
                return b;
        }
        return nullptr;
    }
    bool shows(const QString &text)
    {
        QCoreApplication::processEvents();
        for (QLabel *label : tour.window()->findChildren<QLabel *>()) {
            if (label->text() == text && label->isVisibleTo(tour.window()))
                return true;
        }
        return false;
    }
    void goToPage(int number)
    {
        view().setIndex(number - 1);
    }

    FeatureTour tour{{model(), defaults}};
};

TEST_F(FeatureTourTest, ShownOncePerTourVersion)
{
    const std::pair<QVariant, bool> cases[] = {
        {QVariant(), true}, {QStringLiteral("1.73"), true}, {QStringLiteral("1.74 "), true},
        {QStringLiteral("1.74"), false}};
    for (const auto &[stored, shows] : cases) {
        defaults.setValue(keys::whatsNewShown, stored);
        EXPECT_EQ(FeatureTour::shouldShow(defaults), shows) << stored.toString().toStdString();
    }
}

TEST_F(FeatureTourTest, OpeningHidesThePanelsAndCountsAsSeen)
{
    ext.log.clear();
    tour.show();
    EXPECT_EQ(ext.log.mid(0, 2), (QStringList{"drawer.hide", "menubar.hide"}));
    EXPECT_EQ(defaults.string(keys::whatsNewShown), QStringLiteral("1.74"));
    EXPECT_TRUE(tour.window()->isVisible());
    EXPECT_EQ(tour.window()->windowTitle(), QStringLiteral("Explore Features"));
}

TEST_F(FeatureTourTest, PagerWalksThePagesAndReopeningStartsOver)
{
    int closed = 0;
    tour.show([&closed] { ++closed; });
    EXPECT_EQ(button(QStringLiteral("Back")), nullptr);
    goToPage(3);
    button(QStringLiteral("Skip"))->click();
    EXPECT_EQ(view().index(), 11);
    EXPECT_EQ(button(QStringLiteral("Skip")), nullptr);
    EXPECT_TRUE(tour.window()->isVisible());
    button(QStringLiteral("Back"))->click();
    EXPECT_EQ(view().index(), 10);
    QTest::keyClick(button(QStringLiteral("Next")), Qt::Key_Return);
    EXPECT_EQ(view().index(), 11);

    goToPage(7);
    tour.show(); // still on screen: keeps its page and the waiting action
    EXPECT_EQ(view().index(), 6);
    goToPage(12);
    button(QStringLiteral("Got It"))->click();
    EXPECT_FALSE(tour.window()->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(closed, 1);

    tour.show();
    EXPECT_EQ(view().index(), 0);
    tour.window()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(closed, 1); // the action ran once
}

TEST_F(FeatureTourTest, DirectPasteOfferFollowsTheSettingAndThePermission)
{
    defaults.setValue(keys::directPaste, false);
    accessibility.trusted = false;
    model().refreshPermissions();
    tour.show();
    EXPECT_TRUE(shows(QStringLiteral("RECOMMENDED")));
    button(QStringLiteral("Turn On Direct Paste"))->click();
    EXPECT_TRUE(defaults.boolValue(keys::directPaste));
    EXPECT_EQ(accessibility.promptCount, 1);
    EXPECT_TRUE(shows(QStringLiteral("Allow TamoCove in Accessibility to finish")));
    accessibility.trusted = true;
    model().refreshPermissions();
    EXPECT_TRUE(shows(QStringLiteral("Direct Paste is on")));
}

TEST_F(FeatureTourTest, BonusRowsSwitchTheToolsInPlace)
{
    tour.show();
    goToPage(9);
    auto toggle = [this] { return tour.window()->findChild<SwitchToggle *>(); };
    EXPECT_EQ(toggle()->accessibleName(), QStringLiteral("Window Switcher"));
    defaults.setValue(keys::windowSwitcherHotKeyDisplay, QStringLiteral("⌥⇥"));
    toggle()->click();
    EXPECT_TRUE(defaults.boolValue(keys::windowSwitcherEnabled));
    EXPECT_TRUE(ext.log.contains(QStringLiteral("switcher.create")));
    EXPECT_TRUE(shows(QStringLiteral("On: press Alt+Tab")));
    model().setWindowSwitcherEnabled(false); // as from the settings
    EXPECT_FALSE(toggle()->isChecked());
    EXPECT_FALSE(shows(QStringLiteral("On: press Alt+Tab")));

    goToPage(11);
    toggle()->click();
    EXPECT_TRUE(shows(QStringLiteral("Allow TamoCove in Accessibility to finish"))); // no click converter running

    goToPage(12);
    toggle()->click();
    EXPECT_TRUE(ext.log.contains(QStringLiteral("inputSources:1")));
    ASSERT_NE(button(QStringLiteral("Choose Apps…")), nullptr);
    toggle()->click();
    EXPECT_TRUE(ext.log.contains(QStringLiteral("inputSources:0")));
    EXPECT_EQ(button(QStringLiteral("Choose Apps…")), nullptr);
    EXPECT_FALSE(shows(QStringLiteral("On")));
}

TEST_F(FeatureTourTest, OpenSettingsShowsThePageThatSaysWhatTheDisplayLacks)
{
    accessibility.trusted = false;
    model().refreshPermissions();
    defaults.setValue(keys::directPaste, true);
    defaults.setValue(keys::windowSwitcherEnabled, true);
    tour.show();
    const struct {
        int page;
        const char *opened;
    } pages[] = {{1, "settings:0"}, {9, "settings:4"}};
    for (const auto &expected : pages) {
        goToPage(expected.page);
        ASSERT_TRUE(shows(QStringLiteral("Allow TamoCove in Accessibility to finish"))) << expected.page;
        ext.log.clear();
        button(QStringLiteral("Open Settings…"))->click();
        EXPECT_EQ(ext.log.filter(QStringLiteral("settings")), QStringList{QString::fromUtf8(expected.opened)})
            << expected.page;
    }
}

TEST_F(FeatureTourTest, ShortcutPageComparesTheShippedShortcutWithTheTip)
{
    tour.show();
    goToPage(5);
    auto *bar = tour.window()->findChild<ShortcutComparisonBar *>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->accessibleName(), QStringLiteral("Default: Ctrl+Shift+V. My pick: Ctrl+`."));
    auto *recorder = tour.window()->findChild<ShortcutRecorder *>();
    ASSERT_NE(recorder, nullptr);
    EXPECT_EQ(recorder->accessibleName(), QStringLiteral("Open TamoCove"));
    recorder->click();
    EXPECT_TRUE(recorder->isRecording());
    goToPage(6);
    EXPECT_EQ(tour.window()->findChild<ShortcutComparisonBar *>(), nullptr);
    EXPECT_EQ(tour.window()->findChild<ShortcutRecorder *>(), nullptr); // left, so no longer recording
}

TEST_F(FeatureTourTest, EveryPageUsesThisDesktopsWords)
{
    tour.show();
    for (int page = 1; page <= int(FeatureTourPages::pages().size()); ++page) {
        goToPage(page);
        QCoreApplication::processEvents();
        const QStringList foreign = foreignWords(textsIn(tour.window()));
        EXPECT_TRUE(foreign.isEmpty()) << "page " << page << ": " << foreign.join(u" | ").toStdString();
    }
}

TEST_F(FeatureTourTest, BonusSwitchesAreOnInTheToursColour)
{
    tour.show();
    for (int page = 1; page <= int(FeatureTourPages::pages().size()); ++page) {
        goToPage(page);
        for (SwitchToggle *toggle : tour.window()->findChildren<SwitchToggle *>())
            EXPECT_EQ(toggle->palette().color(QPalette::Highlight), OnboardingStyle::accent()) << "page " << page;
    }
}

TEST_F(FeatureTourTest, TheTipNamesTheKeyLeftOfOneAsTheLayoutDoes)
{
    const struct
    {
        const char *layoutSays;
        const char *pick;
    } rows[] = {{"", "Ctrl+`"}, {"`", "Ctrl+`"}, {"^", "Ctrl+^"}, {"²", "Ctrl+²"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.layoutSays);
        ext.leftOfOne = QString::fromUtf8(row.layoutSays);
        tour.show();
        goToPage(5);
        auto *bar = tour.window()->findChild<ShortcutComparisonBar *>();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->accessibleName(), QStringLiteral("Default: Ctrl+Shift+V. My pick: %1.").arg(QString::fromUtf8(row.pick)));
        EXPECT_TRUE(shows(QStringLiteral("TamoCove opens with Ctrl+Shift+V, but the best shortcut is the one your hand "
                                         "finds without looking. Choose your own below, or in Settings → Shortcuts.\n"
                                         "Mine is %1: Ctrl under your left little finger and the key left of 1 under "
                                         "your ring finger, so TamoCove is one quick press away.")
                              .arg(QString::fromUtf8(row.pick))));
        tour.window()->close();
    }
}

} // namespace
} // namespace tamo::testing
