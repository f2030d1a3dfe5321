#include "platform/ScreenGeometry.h"

#include <gtest/gtest.h>

using tamo::ScreenGeometry;

namespace {

struct Layout
{
    const char *description;
    QRectF primaryQt;
    QRectF qt;   // a rectangle in Qt's coordinates
    QRectF ours; // the same rectangle, origin bottom-left of the primary, y up
};

const Layout layouts[] = {
    {"primary itself", {0, 0, 1920, 1080}, {0, 0, 1920, 1080}, {0, 0, 1920, 1080}},
    {"top bar of the primary", {0, 0, 1920, 1080}, {0, 0, 1920, 24}, {0, 1056, 1920, 24}},
    {"shorter screen to the right", {0, 0, 1920, 1080}, {1920, 0, 1280, 1024}, {1920, 56, 1280, 1024}},
    {"screen above the primary", {0, 0, 1920, 1080}, {0, -900, 1600, 900}, {0, 1080, 1600, 900}},
    {"screen below the primary", {0, 0, 1920, 1080}, {200, 1080, 1440, 900}, {200, -900, 1440, 900}},
    {"primary right of another screen", {1280, 0, 1920, 1080}, {0, 0, 1280, 1024}, {-1280, 56, 1280, 1024}},
    {"window on a primary that is not at Qt's origin", {1280, 0, 1920, 1080}, {1380, 100, 400, 300},
     {100, 680, 400, 300}},
};

} // namespace

TEST(ScreenGeometry, ConvertsRectanglesOnSeveralLayoutsBothWays)
{
    for (const Layout &layout : layouts) {
        SCOPED_TRACE(layout.description);
        const ScreenGeometry geometry(layout.primaryQt);
        EXPECT_EQ(geometry.fromQt(layout.qt), layout.ours);
        EXPECT_EQ(geometry.toQt(layout.ours), layout.qt);
    }
}

TEST(ScreenGeometry, PointerRowsOfThePrimaryLieAboveItsLowerEdge)
{
    const ScreenGeometry geometry(QRectF(0, 0, 1920, 1080));
    EXPECT_EQ(geometry.fromQt(QPointF(10, 0)), QPointF(10, 1080));
    EXPECT_EQ(geometry.fromQt(QPointF(10, 1079)), QPointF(10, 1));
    EXPECT_EQ(geometry.toQt(QPointF(10, 1)), QPointF(10, 1079));
}
