#include "menubar/MenuBarGeometry.h"

#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::MenuBarGeometry;

namespace {

struct SizeCase
{
    double cardScale;
    int visibleCards;
    const char *layout;
    QSizeF expected;
};

class PanelSizeTest : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(PanelSizeTest, FollowsCardScaleCountAndLayout)
{
    const SizeCase c = GetParam();
    EXPECT_EQ(panelSize(c.cardScale, c.visibleCards, QString::fromLatin1(c.layout)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PanelSizeTest,
    ::testing::Values(SizeCase{1.0, 0, "vertical", {488, 790}},      // defaults: 2.5 rows of 219
                      SizeCase{1.0, 5, "vertical", {488, 1023}},     // ceil(5 / 2) + 0.5 rows
                      SizeCase{1.0, 0, "", {488, 790}},              // missing layout: two columns
                      SizeCase{1.0, 0, "diagonal", {488, 790}},      // unknown layout: two columns
                      SizeCase{0.5, 3, "horizontal", {659, 385.5}},  // card 164, 3.5 columns
                      SizeCase{1.0, 0, "horizontal", {4.5 * 233 + 36, 440.5}},
                      SizeCase{1.0, -2, "vertical", {488, 790}}));   // below 1 means the default

TEST(CardSideTest, SmallScalesShareOneSizeAndLargeOnesStopAtOnePointFive)
{
    EXPECT_EQ(cardSide(0.5), 164);
    EXPECT_EQ(cardSide(0.75), 164);
    EXPECT_EQ(cardSide(1.0), 219);
    EXPECT_EQ(cardSide(1.5), 328);
    EXPECT_EQ(cardSide(2.0), 328);
}

const QRectF screen{0, 0, 1440, 900};
const QRectF visible{0, 0, 1440, 876}; // a 24 pt bar along the top

TEST(PanelPlacementTest, HangsCentredUnderTheItemWithShadowRoomBelow)
{
    const QRectF button{700, 876, 24, 24};
    const Placement p = panelPlacement(button, {488, 790}, visible, screen);
    EXPECT_FALSE(p.opensUpward);
    // content x = 712 - 244 = 468; top = 876 - 6 = 870
    EXPECT_EQ(p.frame, QRectF(468 - 24, 870 - 790 - 28, 488 + 48, 790 + 28));
}

TEST(PanelPlacementTest, ContentWiderThanTheScreenFillsItShadowRoomIncluded)
{
    const QRectF narrow{100, 0, 400, 876};
    const Placement p = panelPlacement({300, 876, 24, 24}, {488, 790}, narrow, QRectF(100, 0, 400, 900));
    EXPECT_EQ(p.frame.width(), 400);
    EXPECT_EQ(p.frame.left(), 100);
}

// A tray at the top right of a 1440 pt screen: the window (536 wide with its
// shadow room) once reached 16 pt past the right edge.
TEST(PanelPlacementTest, TheWindowStaysInsideTheRightEdge)
{
    const Placement p = panelPlacement({1417, 876, 22, 24}, {488, 790}, visible, screen);
    EXPECT_EQ(p.frame.right(), 1440);
    EXPECT_EQ(p.frame.width(), 536);
}

struct TrayCase
{
    const char *where;
    QRectF button;
    QRectF visible;
    QRectF screen;
};

// Trays at every edge and corner of a small screen, and on the second of two screens.
class PanelInsideTest : public ::testing::TestWithParam<TrayCase>
{
};

TEST_P(PanelInsideTest, ContentAndWindowStayInsideTheVisibleFrame)
{
    const TrayCase c = GetParam();
    const Placement p = panelPlacement(c.button, {488, 1023}, c.visible, c.screen);
    const QRectF content = p.frame.adjusted(24, 28, -24, 0);
    EXPECT_TRUE(c.visible.contains(content)) << c.where;
    EXPECT_TRUE(c.visible.contains(p.frame)) << c.where;
    EXPECT_FALSE(p.frame.intersects(c.button)) << c.where;
}

const QRectF small{0, 0, 1366, 768};
const QRectF right{1366, 0, 1920, 1080};

INSTANTIATE_TEST_SUITE_P(
    Trays, PanelInsideTest,
    ::testing::Values(TrayCase{"bottom", {670, 2, 24, 24}, {0, 28, 1366, 740}, small},
                      TrayCase{"bottom left", {2, 2, 24, 24}, {0, 28, 1366, 740}, small},
                      TrayCase{"bottom right", {1340, 2, 24, 24}, {0, 28, 1366, 740}, small},
                      TrayCase{"top", {670, 742, 24, 24}, {0, 0, 1366, 740}, small},
                      TrayCase{"top left", {2, 742, 24, 24}, {0, 0, 1366, 740}, small},
                      TrayCase{"top right", {1340, 742, 24, 24}, {0, 0, 1366, 740}, small},
                      TrayCase{"left, high", {2, 700, 24, 24}, {28, 0, 1338, 768}, small},
                      TrayCase{"left, low", {2, 40, 24, 24}, {28, 0, 1338, 768}, small},
                      TrayCase{"right, high", {1340, 700, 24, 24}, {0, 0, 1338, 768}, small},
                      TrayCase{"right, low", {1340, 40, 24, 24}, {0, 0, 1338, 768}, small},
                      TrayCase{"second screen, bottom", {2000, 2, 24, 24}, {1366, 28, 1920, 1052}, right},
                      TrayCase{"second screen, top", {3260, 1054, 24, 24}, {1366, 0, 1920, 1052}, right}));

TEST(PanelPlacementTest, ItemAboveTheVisibleFrameUsesTheFrameTop)
{
    const QRectF lower{0, 0, 1440, 800};
    const Placement p = panelPlacement({700, 876, 24, 24}, {488, 500}, lower, screen);
    EXPECT_EQ(p.frame.bottom(), 800 - 6);
}

TEST(PanelPlacementTest, ItemInTheLowerHalfOpensUpwardClearOfIt)
{
    const QRectF bottomBarVisible{0, 40, 1440, 860};
    const Placement p = panelPlacement({700, 8, 24, 24}, {488, 500}, bottomBarVisible, screen);
    EXPECT_TRUE(p.opensUpward);
    EXPECT_EQ(p.frame.top(), 40 + 6);
    EXPECT_EQ(p.frame.height(), 500 + 28);
}

TEST(PanelPlacementTest, WithoutAScreenTheContentSitsAtTheOrigin)
{
    const Placement p = panelPlacement({0, 0, 0, 0}, {488, 790}, std::nullopt, std::nullopt);
    EXPECT_EQ(p.frame, QRectF(-24, -28, 488 + 48, 790 + 28));
}

} // namespace
