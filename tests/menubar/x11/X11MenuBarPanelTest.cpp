#include "drawer/DrawerFixture.h"
#include "platform/x11/RunCommand.h"
#include "support/FakeClickShield.h"
#include "support/FakeStatusItem.h"

#include "drawer/ToastController.h"
#include "menubar/MenuBarAssembly.h"
#include "menubar/MenuBarCardGrid.h"
#include "menubar/MenuBarClipsController.h"
#include "menubar/MenuBarClipsView.h"
#include "model/SettingsKeys.h"

#include <QScreen>

namespace tamo::testing {
namespace {

const QColor desktop(0, 255, 0);

// Panels on the real X server with no compositor running: what shows on the
// screen, and how the keys reach the menu-bar panel.
class X11MenuBarPanelTest : public DrawerFixture
{
protected:
    X11MenuBarPanelTest()
    {
        statusItem.setAnchor({700, 875, 24, 25});
        defaults.setValue(keys::showMenuBarIcon, true);
        defaults.setValue(keys::menuBarRecentClips, true);
        controller = std::make_unique<MenuBarClipsController>(defaults, screens, statusItem, *panel, shield, clock,
                                                              fastTime);
        assembly = std::make_unique<MenuBarAssembly>(*controller, *drawerModel, defaults, clock);
        runCommand(QStringLiteral("xsetroot -solid #00ff00"));
    }

    // What the screen shows at a point of a window.
    static QColor shownAt(const QWidget &window, const QPoint &point)
    {
        const QPoint global = window.geometry().topLeft() + point;
        return QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage().pixelColor(0, 0);
    }

    void showMenuBarPanel()
    {
        controller->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return controller->panel()->windowOpacity() == 1.0; }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(controller->panel()));
        QTest::qWait(100);
    }

    FakeStatusItem statusItem;
    FakeClickShield shield;
    std::unique_ptr<MenuBarClipsController> controller;
    std::unique_ptr<MenuBarAssembly> assembly;
};

// Without a compositor nothing can be see-through: every panel is cut to its
// rounded card, so the desktop shows at its corners and in its shadow room.
TEST_F(X11MenuBarPanelTest, PanelsAreCutToTheirRoundedCards)
{
    showMenuBarPanel();
    const QWidget &menuBar = *controller->panel();
    const int w = menuBar.width();
    const int h = menuBar.height();
    EXPECT_EQ(shownAt(menuBar, {2, h / 2}), desktop) << "side shadow room";
    EXPECT_EQ(shownAt(menuBar, {w / 2, h - 3}), desktop) << "shadow room below";
    EXPECT_EQ(shownAt(menuBar, {25, 1}), desktop) << "the card's corner";
    EXPECT_NE(shownAt(menuBar, {w / 2, h / 2}), desktop) << "the card";
    controller->hide(false);

    showDrawer();
    QTest::qWait(100);
    const QWidget &strip = panel->stripPanel();
    EXPECT_EQ(shownAt(strip, {1, 1}), desktop) << "drawer corner";
    EXPECT_NE(shownAt(strip, {strip.width() / 2, strip.height() / 2}), desktop) << "drawer";
}

// Tab, pressed like a person on the panel's grid, cycles the pinboard scope
// and leaves the focus where it was.
TEST_F(X11MenuBarPanelTest, TabOnTheGridCyclesTheScope)
{
    const PinboardPtr board = drawerModel->newPinboard();
    showMenuBarPanel();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->panel()));
    auto *view = static_cast<MenuBarClipsView *>(controller->panel()->content());
    view->viewState().setFocus(MenuBarViewState::Focus::grid);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == view->grid(); }));
    runCommand(QStringLiteral("xdotool keydown Tab sleep 0.1 keyup Tab"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->viewState().boardID() == board->id(); }));
    EXPECT_EQ(QApplication::focusWidget(), view->grid());
}

} // namespace
} // namespace tamo::testing
