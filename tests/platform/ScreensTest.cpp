#include "support/FakeScreens.h"

#include <gtest/gtest.h>

using tamo::ScreenInfo;
using tamo::testing::FakeScreens;

namespace {

ScreenInfo screenAt(const QRectF &frame, const QString &name)
{
    ScreenInfo screen;
    screen.frame = frame;
    screen.visibleFrame = frame;
    screen.name = name;
    return screen;
}

// The primary, and a shorter screen to its right (Qt: 1920,0 1280x1024).
FakeScreens sideBySide()
{
    return FakeScreens({screenAt({0, 0, 1920, 1080}, QStringLiteral("Left")),
                        screenAt({1920, 56, 1280, 1024}, QStringLiteral("Right"))});
}

} // namespace

TEST(Screens, ScreenUnderPointerFollowsThePointerAcrossScreens)
{
    struct Row
    {
        QPointF pointer;
        const char *screen;
    };
    const Row rows[] = {
        {{100, 500}, "Left"},
        {{2000, 500}, "Right"},
        {{1919.5, 500}, "Left"},
        {{1920, 500}, "Right"},   // the shared edge belongs to the screen it starts
        {{100, 1080}, "Left"},    // the top pointer row of the primary
        {{2000, 1080}, "Right"},  // the top row of the shorter screen
        {{100, 0}, "Left"},       // below every screen: the primary
        {{5000, 5000}, "Left"},
    };
    FakeScreens screens = sideBySide();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.screen);
        screens.setPointerLocation(row.pointer);
        ASSERT_TRUE(screens.screenUnderPointer());
        EXPECT_EQ(screens.screenUnderPointer()->name, QString::fromLatin1(row.screen));
    }
}

TEST(Screens, NoScreenUnderPointerWithoutScreens)
{
    FakeScreens screens(QList<ScreenInfo>{});
    EXPECT_EQ(screens.screenUnderPointer(), std::nullopt);
}
