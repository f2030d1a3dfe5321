#include "DrawerFixture.h"

#include "cards/ScreenCardSizes.h"
#include "drawer/RectString.h"
#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/Pinboard.h"
#include "model/SettingsKeys.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

class PanelControllerTest : public DrawerFixture
{
protected:
    // The secondary screen keeps the largest cards, the primary the default ones.
    void rememberCardSizes()
    {
        defaults.setValue(keys::cardScale, 1.5);
        ScreenCardSizes::remember(defaults, {secondary});
        defaults.setValue(keys::cardScale, 1.0);
        ScreenCardSizes::remember(defaults, {primary});
        ScreenCardSizes::activate(defaults, ScreenCardSizes::screenID(primary));
    }

    ClipItem clip() { return ClipItem(ClipDraft::fromText(QStringLiteral("clip")), QDateTime::currentDateTime()); }

    // Another window of the desktop takes the keyboard.
    void activateOtherWindow()
    {
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }

    QWidget other;
};

TEST_F(PanelControllerTest, StripSlidesUpOnTheScreenUnderThePointerWithThatScreensCardSize)
{
    rememberCardSizes();
    pointAt(secondary);
    panel->showStrip();

    // It starts 40 lower, transparent, and already has the keyboard.
    EXPECT_EQ(stripFrame(), QRectF(1448, -172 - 40, 1904, 556));
    EXPECT_EQ(panel->stripPanel().windowOpacity(), 0.0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->stripPanel().windowOpacity() == 1.0; }));
    EXPECT_EQ(stripFrame(), QRectF(1448, -172, 1904, 556));
    EXPECT_TRUE(panel->stripPanel().isKey());
    EXPECT_EQ(defaults.doubleValue(keys::cardScale), 1.5);

    pointAt(primary);
    panel->showStrip(); // shown again: it jumps down and slides in once more
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->stripPanel().windowOpacity() == 1.0; }));
    EXPECT_EQ(stripFrame(), QRectF(8, 8, 1424, 404)); // over the dock: the full frame, not the visible one
    EXPECT_EQ(defaults.doubleValue(keys::cardScale), 1.0);
}

TEST_F(PanelControllerTest, ShowingOpensOnTheHistoryWithNothingSelected)
{
    const int presentations = drawerModel->presentationToken();
    drawerModel->setSelectedPinboardID(QUuid::createUuid());
    drawerModel->setSelectedItemID(QUuid::createUuid());
    drawerModel->setSearchText(QStringLiteral("query"));

    showDrawer();
    EXPECT_TRUE(drawerModel->selectedPinboardID().isNull());
    EXPECT_TRUE(drawerModel->selectedItemID().isNull());
    EXPECT_TRUE(drawerModel->searchText().isEmpty());
    EXPECT_EQ(drawerModel->presentationToken(), presentations + 1);
}

TEST_F(PanelControllerTest, NoScreenShowsNothing)
{
    screens.setScreens({});
    panel->showStrip();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->hideGeneration(), 1);
}

TEST_F(PanelControllerTest, HidesAtOnceOrAfterTheFade)
{
    showDrawer();
    panel->hide(false);
    EXPECT_TRUE(panel->stripPanel().isHidden());

    showDrawer(); // a resign still on its way from the hide leaves the new show alone
    panel->hide(true);
    EXPECT_TRUE(panel->isVisible()); // still fading
    ASSERT_TRUE(waitUntilHidden(panel->stripPanel()));
    EXPECT_EQ(panel->stripPanel().windowOpacity(), 0.0);
}

TEST_F(PanelControllerTest, ShowDuringTheFadeKeepsTheStrip)
{
    showDrawer();
    panel->hide(true);
    panel->showStrip();
    QTest::qWait(100); // far longer than the fade
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->stripPanel().windowOpacity(), 1.0);

    // Neither does a second hide's stale fade hide a strip shown after it.
    panel->hide(true);
    panel->hide(true);
    panel->showStrip();
    QTest::qWait(100);
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(PanelControllerTest, HideOfAHiddenStripChangesNothingEvenWithThePreviewOpen)
{
    drawerModel->openPreview(clip());
    ASSERT_TRUE(panel->previewPanel().isVisible());
    const int generation = panel->hideGeneration();

    panel->hide(true);
    EXPECT_TRUE(panel->previewPanel().isVisible());
    EXPECT_FALSE(drawerModel->previewItemID().isNull());
    EXPECT_EQ(panel->hideGeneration(), generation);
}

TEST_F(PanelControllerTest, FocusMovingToThePreviewKeepsTheDrawerAndGoingElsewhereClosesBoth)
{
    showDrawer();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel->stripPanel()));
    drawerModel->openPreview(clip());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel->previewPanel()));
    QTest::qWait(20);
    EXPECT_TRUE(panel->isVisible());

    panel->stripPanel().makeKey(); // and back
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel->stripPanel()));
    QTest::qWait(20);
    EXPECT_TRUE(panel->previewPanel().isVisible());

    activateOtherWindow();
    ASSERT_TRUE(waitUntilHidden(panel->stripPanel()));
    EXPECT_TRUE(panel->previewPanel().isHidden());
    EXPECT_TRUE(drawerModel->previewItemID().isNull());
}

TEST_F(PanelControllerTest, HidingNeverGivesTheKeyboardBackToTheStrip)
{
    showDrawer();
    drawerModel->openPreview(clip());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel->previewPanel()));
    const int token = drawerModel->focusToken();

    panel->hide(true);
    QTest::qWait(5);
    EXPECT_FALSE(panel->stripPanel().isKey());
    EXPECT_TRUE(panel->previewPanel().isHidden());
    EXPECT_EQ(drawerModel->focusToken(), token) << "the row going away asked for the keyboard";
}

TEST_F(PanelControllerTest, ClosingThePreviewGivesTheKeyboardBackToWhatStaysOpen)
{
    showDrawer();
    drawerModel->openPreview(clip());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel->previewPanel()));
    const int token = drawerModel->focusToken();
    drawerModel->closePreview();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&panel->stripPanel()));
    EXPECT_EQ(drawerModel->focusToken(), token + 1) << "the row inside the strip takes the keyboard too";

    panel->hide(false);
    QSignalSpy refocus(panel.get(), &PanelController::menuBarRefocusRequested);
    drawerModel->openPreview(clip(), QList<QUuid>());
    drawerModel->closePreview();
    EXPECT_EQ(refocus.count(), 0); // no menu-bar panel to go back to
    EXPECT_EQ(drawerModel->focusToken(), token + 1);
    ext.menuBarPanelVisible = true;
    drawerModel->openPreview(clip(), QList<QUuid>());
    drawerModel->closePreview();
    EXPECT_EQ(refocus.count(), 1);
}

TEST_F(PanelControllerTest, PreviewFromTheMenuBarStaysWhileFocusIsInTheMenuBarPanel)
{
    ext.statusItem = true;
    ext.menuBarPanelVisible = true;
    TamoPanel menuBarPanel(new QWidget, false, 26, {400, 300});
    menuBarPanel.orderFront();
    drawerModel->openPreview(clip(), QList<QUuid>{});
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel->previewPanel()));

    menuBarPanel.makeKey();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&menuBarPanel));
    QTest::qWait(20);
    EXPECT_TRUE(panel->previewPanel().isVisible());
    EXPECT_FALSE(ext.log.contains(QStringLiteral("menubar.hide")));

    QSignalSpy refocus(panel.get(), &PanelController::menuBarRefocusRequested);
    drawerModel->openPreview(clip(), QList<QUuid>{}); // a new clip: the preview has the keyboard again
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel->previewPanel()));
    activateOtherWindow();
    ASSERT_TRUE(waitUntilHidden(panel->previewPanel()));
    EXPECT_TRUE(ext.log.contains(QStringLiteral("menubar.hide")));
    EXPECT_FALSE(drawerModel->isOrderedPreviewOpen());
    EXPECT_EQ(refocus.count(), 0); // the menu-bar panel went away first
}

TEST_F(PanelControllerTest, HidingCommitsAPinboardRenameAndEndsReordering)
{
    showDrawer();
    const PinboardPtr board = drawerModel->newPinboard(); // starts renaming
    board->setName(QStringLiteral("  Work \n"));
    drawerModel->setReorderingPinboards(true);
    drawerModel->setRenamingItemID(QUuid::createUuid());

    panel->hide(true);
    EXPECT_TRUE(drawerModel->renamingPinboardID().isNull());
    EXPECT_EQ(board->name(), QStringLiteral("Work"));
    EXPECT_FALSE(drawerModel->isReorderingPinboards());
    EXPECT_TRUE(drawerModel->renamingItemID().isNull());

    showDrawer();
    const PinboardPtr blank = drawerModel->newPinboard();
    blank->setName(QString());
    panel->hide(false);
    EXPECT_EQ(blank->name(), QStringLiteral("Untitled"));
}

TEST_F(PanelControllerTest, PreviewOpensWhereTheUserLeftItWhenThatIsStillOnScreen)
{
    // The rules for a stored frame are the geometry's; this checks the panel reads and keeps it.
    const struct {
        const char *why;
        QString stored;
        QRectF expected;
    } rows[] = {
        {"kept", QStringLiteral("{{100, 100}, {800, 600}}"), {100, 100, 800, 600}},
        {"unparsable", QStringLiteral("{{100, 100}, {wide, tall}}"), {163, 83, 1114, 709}},
    };
    for (const auto &row : rows) {
        defaults.setValue(keys::previewFrame, row.stored);
        EXPECT_EQ(panel->placePreview(), row.expected) << row.why;
        EXPECT_EQ(defaults.string(keys::previewFrame), row.stored) << "a bad value stays until the next save";
    }
}

TEST_F(PanelControllerTest, PreviewIsCentredAboveTheShownDrawer)
{
    screens.setScreens({screenInfo({0, 0, 1440, 900}, {0, 0, 1440, 900}, QStringLiteral("Built-in"), 1)});
    pointAt(screens.screens().first());
    showDrawer();
    EXPECT_EQ(panel->placePreview(), QRectF(163, 432, 1114, 448));

    screens.setScreens({});
    EXPECT_EQ(panel->placePreview(), QRectF(0, 0, 1113, 708));
}

TEST_F(PanelControllerTest, PreviewOnTheDrawersScreen)
{
    pointAt(secondary);
    showDrawer();
    panel->hide(false);
    // The band above the drawer only while it is shown; its screen is remembered.
    EXPECT_EQ(panel->placePreview(), QRectF(1843, 6, 1114, 708));
}

TEST_F(PanelControllerTest, SavesOnlyThePreviewFrameTheUserChose)
{
    QSignalSpy changes(&defaults, &Defaults::valueChanged);
    drawerModel->openPreview(clip());
    TamoPanel &preview = panel->previewPanel();
    // The window manager answers our placement: it nudges the window and
    // holds it to its minimum size, before the user has touched it.
    preview.move(preview.pos() + QPoint(0, 12));
    preview.resize(preview.size() + QSize(0, 30));
    QTest::qWait(400); // longer than a resize takes to settle
    EXPECT_FALSE(changes.contains(QVariantList{QString(keys::previewFrame)}));

    QTest::mouseMove(preview.windowHandle(), QPoint(60, 60)); // the pointer reaches it
    preview.move(preview.pos() + QPoint(30, 40)); // the user drags it
    ASSERT_TRUE(QTest::qWaitFor([&] { return defaults.string(keys::previewFrame).has_value(); }));
    EXPECT_EQ(rectFromString(*defaults.string(keys::previewFrame)),
              screens.geometry().fromQt(QRectF(preview.geometry())));

    changes.clear();
    preview.resize(preview.size() + QSize(50, 20)); // and resizes it
    preview.resize(preview.size() + QSize(50, 20));
    QTest::qWait(20);
    EXPECT_TRUE(changes.isEmpty()) << "nothing is saved during a live resize";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changes.isEmpty(); }));
    QTest::qWait(300);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(rectFromString(*defaults.string(keys::previewFrame))->size(), QSizeF(preview.size()));
}

} // namespace
