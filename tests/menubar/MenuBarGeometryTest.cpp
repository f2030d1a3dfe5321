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

TEST(PanelPlacementTest, ContentWiderThanTheScreenStartsEightInside)
{
    const QRectF narrow{100, 0, 400, 876};
    const Placement p = panelPlacement({300, 876, 24, 24}, {488, 790}, narrow, QRectF(100, 0, 400, 900));
    EXPECT_EQ(p.frame.width(), 400 - 16 + 48);
    EXPECT_EQ(p.frame.left(), 100 + 8 - 24);
}

TEST(PanelPlacementTest, StaysEightInsideTheRightEdge)
{
    const Placement p = panelPlacement({1420, 876, 20, 24}, {488, 790}, visible, screen);
    EXPECT_EQ(p.frame.right() - 24, 1440 - 8);
}

TEST(PanelPlacementTest, TallContentIsClampedToTheVisibleHeight)
{
    const Placement p = panelPlacement({700, 876, 24, 24}, {488, 1023}, visible, screen);
    EXPECT_EQ(p.frame.height(), 876 - 12 + 28);
    EXPECT_EQ(p.frame.bottom(), 870); // the top edge stays under the bar
}

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
    EXPECT_EQ(p.frame.size(), QSizeF(488 - 16 + 48, 790 - 12 + 28));
}

} // namespace
