#include "menubar/GridLayout.h"

#include <gtest/gtest.h>

namespace tamo::testing {
namespace {

// Cells of 100 in a 300-wide viewport: content 2·18 + 2·100 + 14 = 250, so
// the columns start 25 + 18 in; rows start 12 down, one every 114.
GridLayout grid() { return {.cellSide = 100, .columns = 2, .viewportWidth = 300}; }

TEST(GridLayout, CellRects)
{
    struct Row
    {
        const char *name;
        int viewportWidth;
        qsizetype index;
        QRect rect;
    };
    const Row rows[] = {
        {"first cell", 300, 0, {43, 12, 100, 100}},
        {"second column", 300, 1, {157, 12, 100, 100}},
        {"second row", 300, 2, {43, 126, 100, 100}},
        {"far down", 300, 2001, {157, 12 + 1000 * 114, 100, 100}},
        {"exact fit", 250, 1, {132, 12, 100, 100}},
        {"too narrow keeps the left padding", 200, 0, {18, 12, 100, 100}},
    };
    for (const Row &row : rows) {
        GridLayout layout = grid();
        layout.viewportWidth = row.viewportWidth;
        EXPECT_EQ(layout.cellRect(row.index), row.rect) << row.name;
    }
}

TEST(GridLayout, ContentLength)
{
    EXPECT_EQ(grid().contentLength(0), 0);
    EXPECT_EQ(grid().contentLength(1), 124);
    EXPECT_EQ(grid().contentLength(2), 124);
    EXPECT_EQ(grid().contentLength(3), 124 + 114);
}

// One row in a 300-high view: cells every 114 from 18 in, centred down the height.
TEST(GridLayout, OneRowRunsSideways)
{
    const GridLayout row{.cellSide = 100, .viewportWidth = 300, .viewportHeight = 300, .oneRow = true};
    EXPECT_EQ(row.cellRect(0), QRect(18, 100, 100, 100));
    EXPECT_EQ(row.cellRect(3), QRect(18 + 3 * 114, 100, 100, 100));
    EXPECT_EQ(row.contentLength(3), 36 + 3 * 114 - 14);
    EXPECT_EQ(row.cellsIn(18 + 114, 228, 10, 1), GridLayout::Range({0, 4}));
    EXPECT_EQ(row.offsetRevealing(5, 0, 300), 18 + 5 * 114 + 100 + 14 - 300);
}

TEST(GridLayout, CellsInView)
{
    using Range = GridLayout::Range;
    struct Row
    {
        const char *name;
        int offset;
        int height;
        qsizetype count;
        int margin;
        Range range;
    };
    const Row rows[] = {
        {"top, one row tall", 0, 100, 100, 0, {0, 2}},
        {"top, reaching into the second row", 0, 127, 100, 0, {0, 4}},
        {"top with a margin", 0, 127, 100, 1, {0, 6}},
        {"scrolled past the first row", 126, 114, 100, 0, {2, 4}},
        {"in the spacing below a row", 120, 10, 100, 0, {2, 4}},
        {"margin both ways", 12 + 10 * 114, 114, 100, 1, {18, 24}},
        {"last row half full", 12 + 2 * 114, 500, 5, 1, {2, 5}},
        {"nothing to show", 0, 500, 0, 1, {}},
        {"no height", 0, 0, 100, 1, {}},
        {"past the end", 100000, 100, 10, 1, {}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(grid().cellsIn(row.offset, row.height, row.count, row.margin), row.range) << row.name;
}

TEST(GridLayout, OffsetRevealing)
{
    struct Row
    {
        const char *name;
        qsizetype index;
        int offset;
        int expected;
    };
    // A 300-tall view; cell 6 is row 3, spanning 354…454.
    const Row rows[] = {
        {"already in view", 6, 200, 200},
        {"below: its bottom and spacing come up", 6, 0, 454 + 14 - 300},
        {"above: its top and spacing come down", 6, 400, 354 - 14},
        {"first row never above the top", 0, 50, 0},
    };
    for (const Row &row : rows)
        EXPECT_EQ(grid().offsetRevealing(row.index, row.offset, 300), row.expected) << row.name;
}

} // namespace
} // namespace tamo::testing
