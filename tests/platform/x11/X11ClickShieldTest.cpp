#include "platform/x11/RunCommand.h"
#include "platform/x11/WindowManager.h"

#include "platform/x11/X11ClickShield.h"
#include "platform/x11/X11Reply.h"
#include "platform/x11/X11Screens.h"

#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

class PressCounter final : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

// The shield over a window of ours stands in for the panel that pasted: a
// click there must reach neither window, and nothing of the shield is drawn.
TEST(X11ClickShieldTest, TakesTheClicksOverAWindowAndDrawsNothing)
{
    WindowManager windowManager;
    const auto x11 = x11::X11Connection::fromApplication();
    ASSERT_TRUE(x11.isValid()) << "this suite needs an X server";
    x11::X11Screens screens(x11);
    PressCounter beneath;
    beneath.setGeometry(200, 200, 300, 200);
    beneath.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&beneath));
    const QRect frame = beneath.frameGeometry();
    const QString click = QStringLiteral("xdotool mousemove %1 %2 click 1").arg(frame.center().x()).arg(frame.center().y());

    x11::X11ClickShield shield(x11, screens);
    shield.cover(screens.geometry().fromQt(QRectF(frame)));
    ASSERT_TRUE(shield.isCovering());
    const auto attributes = x11::replyTo<xcb_get_window_attributes_reply>(
        x11.xcb, xcb_get_window_attributes(x11.xcb, shield.window()));
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->_class, XCB_WINDOW_CLASS_INPUT_ONLY);
    EXPECT_EQ(attributes->map_state, XCB_MAP_STATE_VIEWABLE);

    runCommand(click);
    QTest::qWait(200);
    EXPECT_EQ(beneath.presses, 0);

    shield.remove();
    runCommand(click);
    EXPECT_TRUE(QTest::qWaitFor([&] { return beneath.presses == 1; }));
}

} // namespace
