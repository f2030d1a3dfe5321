#include "platform/x11/RunCommand.h"

#include "platform/x11/X11ClickConverter.h"

#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

class ButtonRecorder final : public QWidget
{
public:
    QList<Qt::MouseButton> pressed;

protected:
    void mousePressEvent(QMouseEvent *event) override { pressed.append(event->button()); }
};

// The test display's XTest pointer stands in for a touchpad: its clicks go
// through the same per-device button map.
TEST(X11ClickConverterTest, LeftAndRightClicksBecomeMiddleClicksOnlyWhileAsked)
{
    ButtonRecorder window;
    window.setGeometry(100, 100, 200, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint centre = window.geometry().center();
    runCommand(QStringLiteral("xdotool mousemove %1 %2").arg(centre.x()).arg(centre.y()));
    const auto clickAndRead = [&](int button) {
        const qsizetype before = window.pressed.size();
        runCommand(QStringLiteral("xdotool click %1").arg(button));
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.pressed.size() > before; }, 5000));
        return window.pressed.value(before, Qt::NoButton);
    };

    x11::X11ClickConverter converter;
    ASSERT_TRUE(converter.install());
    EXPECT_FALSE(converter.tapToClick()) << "no touchpad on the test display";
    ASSERT_TRUE(converter.setMiddleButtons(true));
    EXPECT_EQ(clickAndRead(1), Qt::MiddleButton);
    EXPECT_EQ(clickAndRead(3), Qt::MiddleButton);
    ASSERT_TRUE(converter.setMiddleButtons(false));
    EXPECT_EQ(clickAndRead(1), Qt::LeftButton);

    converter.setMiddleButtons(true);
    converter.remove();
    EXPECT_EQ(clickAndRead(3), Qt::RightButton) << "removing restores every map";

    const qsizetype before = window.pressed.size();
    converter.postMiddleClick();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.pressed.size() > before; }, 5000));
    EXPECT_EQ(window.pressed.value(before), Qt::MiddleButton);
}

} // namespace
