#include "drawer/DrawerGeometry.h"
#include "drawer/RectString.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tamo;
using namespace tamo::DrawerGeometry;

namespace {

ScreenInfo screenAt(const QRectF &frame, const QRectF &visible)
{
    ScreenInfo screen;
    screen.frame = frame;
    screen.visibleFrame = visible;
    return screen;
}

} // namespace

TEST(DrawerGeometry, StripHeightFollowsTheCardScaleBetweenItsLimits)
{
    const struct {
        double scale;
        int height;
    } rows[] = {
        {0.5, 328}, {0.75, 328}, {1.0, 404}, {1.5, 556}, {2.0, 556},
        {0.8, 343},  // 243.2 rounds down
        {0.9, 374},  // 273.6 rounds up
        {1.25, 480},
    };
    for (const auto &row : rows)
        EXPECT_EQ(stripHeight(row.scale), row.height) << row.scale;
}

TEST(DrawerGeometry, StoredPreviewFrameIsKeptOnlyWhenLargeAndMostlyOnTheFirstScreenItTouches)
{
    const QList<ScreenInfo> screens{
        screenAt({0, 0, 1440, 900}, {0, 0, 1440, 875}),
        screenAt({1440, 0, 1440, 900}, {1440, 0, 1440, 900}),
    };
    const struct {
        const char *why;
        QRectF stored;
        bool used;
    } rows[] = {
        {"too small", {100, 100, 600, 500}, false},
        {"too low", {100, 100, 800, 399}, false},
        {"inside", {100, 100, 800, 600}, true},
        {"70 % on the first screen", {-240, 100, 800, 600}, true},
        {"30 % on the first screen, 70 % on the second", {1440 - 240, 100, 800, 600}, false},
        {"half on the first screen", {-400, 100, 800, 600}, true},
        {"off every screen", {5000, 5000, 800, 600}, false},
        {"only on the second screen", {2000, 100, 800, 600}, true},
        {"negative size", {100, 100, -800, -600}, false},
        {"huge", {0, 0, 1e12, 1e12}, false},
        {"largest finite", {0, 0, std::numeric_limits<qreal>::max(), 500}, false},
    };
    for (const auto &row : rows) {
        const auto result = usablePreviewFrame(row.stored, screens);
        EXPECT_EQ(result.has_value(), row.used) << row.why;
        if (result) {
            EXPECT_EQ(*result, row.stored) << row.why;
        }
    }
}

TEST(DrawerGeometry, PreviewIsCentredInTheBandAboveTheShownStrip)
{
    const QRectF visible(0, 0, 1440, 900);
    // The strip's top edge at 412: the band is (0, 412, 1440, 488).
    EXPECT_EQ(centredPreviewFrame(visible, QRectF(8, 8, 1424, 404)), QRectF(163, 432, 1114, 448));
    // A taller strip: the band keeps 440 and overlaps it.
    EXPECT_EQ(centredPreviewFrame(visible, QRectF(8, 8, 1424, 556)), QRectF(163, 480, 1114, 400));
    // No strip: centred in the whole visible frame.
    EXPECT_EQ(centredPreviewFrame(visible, std::nullopt), QRectF(163, 96, 1114, 708));
    // A small screen shrinks it by the margin.
    EXPECT_EQ(centredPreviewFrame(QRectF(100, 50, 1024, 600), std::nullopt), QRectF(120, 70, 984, 560));
}

TEST(RectString, WritesTheTextualFormAndReadsItBack)
{
    EXPECT_EQ(rectToString({120, 200, 900, 640}), QStringLiteral("{{120, 200}, {900, 640}}"));
    EXPECT_EQ(rectToString({-12.5, 0, 800.25, 600}), QStringLiteral("{{-12.5, 0}, {800.25, 600}}"));
    for (const QRectF &rect : {QRectF(120, 200, 900, 640), QRectF(-1440.5, -7, 800, 600), QRectF(0.1, 0.2, 0.3, 1e9)})
        EXPECT_EQ(rectFromString(rectToString(rect)), rect);
}

TEST(RectString, ReadsLenientlyAndRejectsWhatHasNoFourFiniteNumbers)
{
    EXPECT_EQ(rectFromString(u"{{1,2},{3,4}}"), QRectF(1, 2, 3, 4));
    EXPECT_EQ(rectFromString(u"  { { -1e2 , +2.5 } , { .5 , 4. } }"), QRectF(-100, 2.5, 0.5, 4));
    for (const QString &bad : {QString(), QStringLiteral("garbage"), QStringLiteral("{{1, 2}, {3}}"),
                               QStringLiteral("{{1, 2}, {3, 1e999}}"), QStringLiteral("{{nan, 2}, {3, 4}}")})
        EXPECT_FALSE(rectFromString(bad).has_value()) << bad.toStdString();
}
