#include "cards/CardSize.h"

#include <gtest/gtest.h>

using tamo::CardSize;

TEST(CardSize, FollowsTheBaseCardAndRoundsAsTheSettingsShowIt)
{
    const struct {
        double scale;
        int side;
        int header;
        double label;
    } rows[] = {
        {1.0, 304, 68, 13.0},
        {0.75, 228, 51, 10.0},   // 9.75 → 10
        {1.5, 456, 102, 19.5},
        {0.72, 219, 49, 9.5},    // the menu bar's cards: 9.36 → 9.5
        {0.54, 164, 37, 7.0},    // the smallest menu-bar cards, not clamped
        {1.25, 380, 85, 16.5},   // 16.25 → 16.5, halves away from zero
    };
    for (const auto &row : rows) {
        const CardSize size{row.scale};
        EXPECT_EQ(size.side(), row.side) << row.scale;
        EXPECT_EQ(size.headerHeight(), row.header) << row.scale;
        EXPECT_DOUBLE_EQ(size.labelPointSize(), row.label) << row.scale;
    }
}

TEST(CardSize, CopiedTextFollowsTheTextScaleWithinItsRange)
{
    const CardSize size{1.0};
    EXPECT_DOUBLE_EQ(size.textPointSize(1.0), 13.0);
    EXPECT_DOUBLE_EQ(size.textPointSize(1.5), 19.5);
    EXPECT_DOUBLE_EQ(size.textPointSize(0.5), 10.0);  // clamped to 0.75: 9.75 → 10
    EXPECT_DOUBLE_EQ(size.textPointSize(3.0), 23.0);  // clamped to 1.75: 22.75 → 23
}
