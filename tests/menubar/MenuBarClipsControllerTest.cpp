#include "drawer/DrawerFixture.h"
#include "support/FakeClickShield.h"
#include "support/FakeStatusItem.h"

#include "menubar/MenuBarAssembly.h"
#include "menubar/MenuBarClipsView.h"
#include "menubar/MenuBarClipsController.h"
#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/SettingsKeys.h"

#include <QGuiApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QStyleHints>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

// The recent-clips item sits in the primary screen's top bar.
class MenuBarClipsControllerTest : public DrawerFixture
{
protected:
    MenuBarClipsControllerTest()
    {
        statusItem.setAnchor({700, 875, 24, 25});
        defaults.setValue(keys::showMenuBarIcon, true);
        defaults.setValue(keys::menuBarRecentClips, true);
        controller = std::make_unique<MenuBarClipsController>(defaults, screens, statusItem, *panel, shield, clock,
                                                              fastTime);
        controller->setModel(drawerModel.get());
    }

    QRectF panelFrame() { return screens.geometry().fromQt(QRectF(controller->panel()->geometry())); }

    void showPanel()
    {
        controller->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return controller->panel()->windowOpacity() == 1.0; }));
    }

    void activateOtherWindow()
    {
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }

    ClipItem clip() { return ClipItem(ClipDraft::fromText(QStringLiteral("clip")), QDateTime::currentDateTime()); }

    FakeStatusItem statusItem;
    FakeClickShield shield;
    std::unique_ptr<MenuBarClipsController> controller;
    QWidget other;
};

TEST_F(MenuBarClipsControllerTest, StatusItemShowsOnlyWhileBothSettingsAreOn)
{
    EXPECT_TRUE(statusItem.isVisible());
    EXPECT_TRUE(controller->hasStatusItem());
    EXPECT_EQ(statusItem.toolTip(), QStringLiteral("Recent clips · right-click for the TamoCove menu"));

    defaults.setValue(keys::menuBarRecentClips, false);
    EXPECT_FALSE(statusItem.isVisible());
    EXPECT_FALSE(controller->hasStatusItem());

    defaults.setValue(keys::menuBarRecentClips, true); // back without a restart
    EXPECT_TRUE(controller->hasStatusItem());

    defaults.setValue(keys::showMenuBarIcon, false);
    EXPECT_FALSE(controller->hasStatusItem());
    controller->show();
    EXPECT_EQ(controller->panel(), nullptr); // nothing to hang a panel under
}

TEST_F(MenuBarClipsControllerTest, TurningTheItemOffClosesTheOpenPanelAtOnce)
{
    showPanel();
    defaults.setValue(keys::showMenuBarIcon, false);
    EXPECT_FALSE(controller->isPanelVisible());
}

TEST_F(MenuBarClipsControllerTest, SlidesInUnderTheItemFromTenHigher)
{
    QSignalSpy opens(&controller->state(), &MenuBarClipsState::openCountChanged);
    controller->show();

    // Defaults: 488 × 790 content, centred on x 712, its top 6 under the bar.
    const QRectF expected(712 - 244 - 24, 869 - 790 - 28, 488 + 48, 790 + 28);
    EXPECT_EQ(panelFrame(), expected.translated(0, 10));
    EXPECT_EQ(controller->panel()->windowOpacity(), 0.0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller->panel()->windowOpacity() == 1.0; }));
    EXPECT_EQ(panelFrame(), expected);
    EXPECT_TRUE(controller->panel()->isKey());
    EXPECT_EQ(opens.count(), 1);
    EXPECT_EQ(controller->state().openCount(), 1);
}

TEST_F(MenuBarClipsControllerTest, ShowingClosesTheDrawerFirst)
{
    showDrawer();
    controller->show();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(controller->isPanelVisible());
}

TEST_F(MenuBarClipsControllerTest, ClickTogglesThePanel)
{
    statusItem.click();
    EXPECT_TRUE(controller->isPanelVisible());
    statusItem.click();
    EXPECT_TRUE(waitUntilHidden(*controller->panel()));
    statusItem.click();
    EXPECT_TRUE(controller->isPanelVisible());
}

// The menu's control key is Super on this desktop; Ctrl is an ordinary click.
TEST_F(MenuBarClipsControllerTest, SuperClickPopsTheMenuAndCtrlClickOpensThePanel)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    controller->setAppMenu(&menu);
    statusItem.click(Qt::ControlModifier);
    EXPECT_TRUE(controller->isPanelVisible());
    EXPECT_FALSE(menu.isVisible());

    statusItem.click(Qt::MetaModifier);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_FALSE(controller->isPanelVisible());
    menu.hide();
}

TEST_F(MenuBarClipsControllerTest, LosingTheKeyboardClosesItAndTheClickThatTookItDoesNotReopen)
{
    showPanel();
    activateOtherWindow();
    ASSERT_TRUE(waitUntilHidden(*controller->panel()));
    EXPECT_EQ(controller->lastResign(), clock.now());

    clock.advance(300);
    statusItem.click();
    EXPECT_FALSE(controller->isPanelVisible());
    clock.advance(1);
    statusItem.click();
    EXPECT_TRUE(controller->isPanelVisible());
}

TEST_F(MenuBarClipsControllerTest, PreviewOpenedFromThePanelKeepsItOpenAndClosesWithIt)
{
    showPanel();
    drawerModel->openPreview(clip(), QList<QUuid>{});
    panel->previewPanel().show();
    panel->previewPanel().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel->previewPanel()));
    QTest::qWait(20);
    EXPECT_TRUE(controller->isPanelVisible());
    EXPECT_FALSE(controller->lastResign().isValid());

    controller->hide(false);
    EXPECT_FALSE(drawerModel->isOrderedPreviewOpen());
    EXPECT_TRUE(drawerModel->previewItemID().isNull());
}

TEST_F(MenuBarClipsControllerTest, ShowDuringTheFadeOutKeepsThePanel)
{
    showPanel();
    controller->hide(true);
    controller->show();
    QTest::qWait(40); // well past the fade
    EXPECT_TRUE(controller->isPanelVisible());
}

TEST_F(MenuBarClipsControllerTest, RefocusOnlyReachesAShownPanel)
{
    QSignalSpy refocuses(&controller->state(), &MenuBarClipsState::refocusCountChanged);
    emit panel->menuBarRefocusRequested(); // not built yet
    showPanel();
    activateOtherWindow();
    ASSERT_TRUE(waitUntilHidden(*controller->panel()));
    controller->show();
    emit panel->menuBarRefocusRequested();
    EXPECT_EQ(refocuses.count(), 1);
    EXPECT_EQ(controller->state().refocusCount(), 1);

    controller->hide(true);
    emit panel->menuBarRefocusRequested(); // fading out: it keeps away from the keyboard
    EXPECT_EQ(controller->state().refocusCount(), 1);
}

TEST_F(MenuBarClipsControllerTest, PasteByClickShieldsThePanelAreaForADoubleClick)
{
    showPanel();
    const QRectF area = panelFrame();
    auto item = std::make_shared<ClipItem>(clip());
    controller->pasteByClick({item});

    EXPECT_TRUE(shield.covering);
    EXPECT_EQ(shield.frame, area);
    const int interval = fastTime(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shield.covering; }, interval + 200));
}

TEST_F(MenuBarClipsControllerTest, PasteByClickWithThePanelClosedRaisesNoShield)
{
    controller->pasteByClick({std::make_shared<ClipItem>(clip())});
    EXPECT_FALSE(shield.covering);
}

TEST_F(MenuBarClipsControllerTest, TheAppMenuClosesThePanelFirst)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    controller->setAppMenu(&menu);
    EXPECT_EQ(statusItem.menu(), &menu);
    showPanel();
    controller->showAppMenu();
    EXPECT_FALSE(controller->isPanelVisible());
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

} // namespace

TEST_F(MenuBarClipsControllerTest, TheAssemblyFillsThePanelAndLeavesBeforeTheModel)
{
    {
        MenuBarAssembly assembly(*controller, *drawerModel, defaults, clock);
        showPanel();
        EXPECT_NE(controller->panel()->findChild<MenuBarClipsView *>(), nullptr);
        controller->hide(false);
    }
    // Gone with the assembly: nothing of it may outlive the model.
    EXPECT_EQ(controller->panel()->findChild<MenuBarClipsView *>(), nullptr);
}
