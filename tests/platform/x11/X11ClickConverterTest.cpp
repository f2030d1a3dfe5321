#include "platform/x11/ButtonRecorder.h"
#include "platform/x11/RunCommand.h"

#include "platform/x11/X11ClickConverter.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

// The test display's XTest pointer stands in for a touchpad: its clicks go
// through the same per-device button map.
TEST(X11ClickConverterTest, LeftAndRightClicksBecomeMiddleClicksOnlyWhileAsked)
{
    ButtonRecorder window;
    ASSERT_TRUE(window.showUnderPointer());
    const auto clickAndRead = [&](int button) {
        return window.pressAfter([button] { runCommand(QStringLiteral("xdotool click %1").arg(button)); });
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

    EXPECT_EQ(window.pressAfter([&] { converter.postMiddleClick(); }), Qt::MiddleButton);
}

// One three-finger tap is one click: a click is posted only where the driver
// gives that tap no button of its own.
TEST(X11ClickConverterTest, PostsATappedClickOnlyWhereTheDriverGivesNone)
{
    struct Row
    {
        const char *driver;
        QByteArray libinputTapping;
        QByteArray synapticsTapAction; // corners, then one, two and three fingers
        bool posts;
    };
    const Row rows[] = {
        {"libinput tapping, \"lrm\" or \"lmr\" map", QByteArray(1, 1), {}, false},
        {"libinput without tapping", QByteArray(1, 0), {}, false},
        {"synaptics, no three-finger button", {}, QByteArray("\2\3\0\0\1\3\0", 7), true},
        {"synaptics, three fingers tap the middle", {}, QByteArray("\2\3\0\0\1\3\2", 7), false},
        {"synaptics without tapping", {}, QByteArray("\0\0\0\0\0\0\0", 7), false},
        {"synaptics, short property", {}, QByteArray("\2\3\0\0\1", 5), false},
        {"neither driver", {}, {}, false},
    };
    for (const Row &row : rows)
        EXPECT_EQ(x11::threeFingerTapNeedsClick(row.libinputTapping, row.synapticsTapAction), row.posts) << row.driver;
}

} // namespace
