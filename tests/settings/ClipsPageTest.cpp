#include "SettingsFixture.h"

#include "app/ScreenshotWatcher.h"
#include "cards/ScreenCardSizes.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "settings/CardScaleTexts.h"
#include "settings/CardStyleOption.h"
#include "settings/ClipsPage.h"
#include "settings/Pickers.h"
#include "settings/ScaleControl.h"

#include <QPushButton>
#include <QSlider>

using namespace tamo;
using namespace tamo::testing;

namespace {

class ClipsPageTest : public PageFixture<ClipsPage>
{
protected:
    static ScreenInfo screen(const QString &name, quint32 serial, QSizeF size = {1920, 1080})
    {
        ScreenInfo info = FakeScreens::oneScreen(size);
        info.name = name;
        info.vendor = 1;
        info.serial = serial;
        return info;
    }
};

} // namespace

TEST(CardScaleTextsTest, SizesAndTextsFollowTheFactors)
{
    using namespace CardScaleTexts;
    EXPECT_EQ(snapped(1.02), 1.0);
    EXPECT_EQ(snapped(1.05), 1.05);
    const struct {
        double scale;
        double ratio;
        const char *text;
    } cards[] = {{0.75, 1, "228 × 228 px · 75%"}, {1.5, 1, "456 × 456 px · 150%"}, {2.0, 1, "456 × 456 px · 200%"},
                 {0.5, 1, "228 × 228 px · 50%"}, {1.0, 1, "304 × 304 px · 100%"}, {1.0, 2, "608 × 608 px · 100%"},
                 {0.75, 1.25, "285 × 285 px · 75%"}};
    for (const auto &step : cards)
        EXPECT_EQ(cardSizeText(step.scale, step.ratio), QString::fromUtf8(step.text)) << step.scale << " " << step.ratio;
    const struct {
        double text;
        double card;
        double ratio;
        const char *shown;
    } fonts[] = {{1.0, 1.0, 1, "13 px · 100%"},     {1.25, 1.0, 1, "16.5 px · 125%"}, {0.5, 1.0, 1, "10 px · 50%"},
                 {0.75, 1.0, 1, "10 px · 75%"},     {1.0, 1.5, 1, "19.5 px · 100%"},  {0.75, 0.75, 1, "7.5 px · 75%"},
                 {1.0, 1.0, 2, "26 px · 100%"},     {1.25, 1.0, 1.5, "25 px · 125%"}};
    for (const auto &step : fonts)
        EXPECT_EQ(fontSizeText(step.text, step.card, step.ratio), QString::fromUtf8(step.shown))
            << step.text << " " << step.card << " " << step.ratio;
    EXPECT_EQ(cardSizeText(std::numeric_limits<double>::quiet_NaN(), 1), QStringLiteral("304 × 304 px · 100%"));
}

TEST_F(ClipsPageTest, SizeControlsStoreSnappedValuesAndOfferAReset)
{
    auto *size = control<ScaleControl>(page(), QStringLiteral("Card Size"));
    ASSERT_TRUE(size);
    EXPECT_TRUE(size->resetButton()->isHidden());
    size->slider()->setValue(int(1000 * (1.02 - 0.75) / 0.75)); // about 1.02
    EXPECT_EQ(defaults.doubleValue(keys::cardScale), 1.0);
    size->slider()->setValue(1000); // 1.5
    EXPECT_EQ(defaults.doubleValue(keys::cardScale), 1.5);
    EXPECT_EQ(size->valueText(), QStringLiteral("456 × 456 px · 150%"));
    EXPECT_FALSE(size->resetButton()->isHidden());
    EXPECT_EQ(control<ScaleControl>(page(), QStringLiteral("Font Size"))->valueText(), QStringLiteral("19.5 px · 100%"))
        << "the text size follows the card size";
    click(size->resetButton());
    EXPECT_EQ(defaults.doubleValue(keys::cardScale), 1.0);

    defaults.setValue(keys::cardTextScale, QStringLiteral("a string")); // of the wrong type
    EXPECT_EQ(control<ScaleControl>(page(), QStringLiteral("Font Size"))->valueText(), QStringLiteral("13 px · 100%"));
}

TEST_F(ClipsPageTest, StyleOptionsChooseTheCardStyle)
{
    const QList<CardStyleOption *> options = page().findChildren<CardStyleOption *>();
    ASSERT_EQ(options.size(), 2);
    EXPECT_TRUE(options[1]->isChecked()) << "glass when never chosen";
    click(options[0]);
    EXPECT_EQ(defaults.string(keys::cardStyle), QStringLiteral("classic"));
    EXPECT_TRUE(options[0]->isChecked());
    EXPECT_FALSE(options[1]->isChecked());
    const ClipItemPtr a = CardStyleOption::sampleClip(clock);
    const ClipItemPtr b = CardStyleOption::sampleClip(clock);
    EXPECT_NE(a->id(), b->id());
    EXPECT_EQ(a->text(), b->text());
    EXPECT_EQ(a->text()->size(), 94);
}

TEST_F(ClipsPageTest, MenuBarRowsFollowTheIconAndRecentClips)
{
    page();
    const QString recent = QStringLiteral("Recent Clips in the Tray");
    defaults.setValue(keys::showMenuBarIcon, false);
    EXPECT_FALSE(row(page(), recent)->isEnabled());
    EXPECT_EQ(row(page(), recent)->description(), QStringLiteral("Turn on Show TamoCove in the Tray in General to use this."));
    EXPECT_FALSE(row(page(), QStringLiteral("Layout"))->isEnabled());
    EXPECT_FALSE(row(page(), QStringLiteral("Panel Size"))->isEnabled());
    EXPECT_TRUE(defaults.boolValue(keys::menuBarRecentClips)) << "the stored value stays";

    defaults.setValue(keys::showMenuBarIcon, true);
    defaults.setValue(keys::menuBarRecentClips, false);
    EXPECT_TRUE(row(page(), recent)->isEnabled());
    EXPECT_FALSE(row(page(), QStringLiteral("Panel Size"))->isEnabled());

    defaults.setValue(keys::menuBarRecentClips, true);
    control<SegmentedPicker>(page(), QStringLiteral("Layout"))->picked(rawValue(MenuBarLayout::horizontal));
    EXPECT_EQ(row(page(), QStringLiteral("Layout"))->description(),
              QStringLiteral("Cards in one row that scrolls sideways, like the TamoCove panel."));
    EXPECT_EQ(row(page(), QStringLiteral("Panel Size"))->description(),
              QStringLiteral("How many cards fit across without scrolling. The panel never runs past the edges of the screen."));
    auto *sizes = control<PopUpPicker>(page(), QStringLiteral("Panel Size"));
    EXPECT_EQ(sizes->itemText(0), QStringLiteral("Default"));
    EXPECT_EQ(sizes->itemText(2), QStringLiteral("8 Cards"));
}

TEST_F(ClipsPageTest, ScreensAreRememberedAndChoosingOneSwitchesTheSizes)
{
    const ScreenInfo office = screen(QStringLiteral("Office"), 7);
    const ScreenInfo laptop = screen(QStringLiteral("Laptop"), 8, {1512, 982});
    screens.setScreens({office});
    defaults.setValue(keys::cardScale, 1.25);
    page();
    EXPECT_EQ(defaults.string(keys::screenCardSizesActive), ScreenCardSizes::screenID(office));
    EXPECT_TRUE(row(page(), QStringLiteral("Screen"))->description().endsWith(QStringLiteral(" You're on Office, 1920 × 1080.")));

    screens.setScreens({office, laptop}); // plugged in while the page is open
    auto *picker = control<PopUpPicker>(page(), QStringLiteral("Screen"));
    ASSERT_EQ(picker->count(), 2);
    EXPECT_EQ(picker->currentData().toString(), ScreenCardSizes::screenID(office)) << "the selection stays";

    picker->activated(picker->findData(ScreenCardSizes::screenID(laptop)));
    EXPECT_EQ(defaults.string(keys::screenCardSizesActive), ScreenCardSizes::screenID(laptop));
    defaults.setValue(keys::cardScale, 0.8);
    picker->activated(picker->findData(ScreenCardSizes::screenID(office)));
    EXPECT_EQ(defaults.doubleValue(keys::cardScale), 1.25) << "the office's size comes back";
}

TEST_F(ClipsPageTest, ScreenshotSwitchStartsAndStopsTheWatcherOnlyWhenFlipped)
{
    startedModel();
    page();
    EXPECT_FALSE(screenshotFolder.isWatching());
    click(control<SwitchToggle>(page(), QStringLiteral("Copy New Screenshots")));
    EXPECT_TRUE(defaults.boolValue(keys::captureScreenshots));
    EXPECT_TRUE(model().screenshots()->isRunning());
    EXPECT_TRUE(screenshotFolder.isWatching());
    click(control<SwitchToggle>(page(), QStringLiteral("Copy New Screenshots")));
    EXPECT_FALSE(model().screenshots()->isRunning());
}
