#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"
#include "cards/Motion.h"
#include "cards/ViewStyles.h"
#include "support/FakeCompositor.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace tamo;

namespace {

// CSS cubic-bezier solved independently: bisection for the time whose x is the progress.
double cssBezier(double x1, double y1, double x2, double y2, double progress)
{
    const auto coordinate = [](double a, double b, double t) {
        return 3 * a * t * (1 - t) * (1 - t) + 3 * b * t * t * (1 - t) + t * t * t;
    };
    double low = 0;
    double high = 1;
    for (int i = 0; i < 60; ++i) {
        const double middle = (low + high) / 2;
        (coordinate(x1, x2, middle) < progress ? low : high) = middle;
    }
    return coordinate(y1, y2, (low + high) / 2);
}

// The closed form of an underdamped unit spring.
double underdampedSpring(double response, double zeta, double t)
{
    const double omega = 2 * std::numbers::pi / response;
    const double wd = omega * std::sqrt(1 - zeta * zeta);
    return 1 - std::exp(-zeta * omega * t) * (std::cos(wd * t) + zeta * omega / wd * std::sin(wd * t));
}

double highestValue(const QEasingCurve &curve)
{
    double highest = 0;
    for (int i = 0; i <= 1000; ++i)
        highest = std::max(highest, curve.valueForProgress(i / 1000.0));
    return highest;
}

QImage transparentImage(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

TEST(Motion, TimingCurveFollowsCssCubicBezier)
{
    const QEasingCurve curve = timingCurve(0.2, 0.9, 0.25, 1.0);
    EXPECT_DOUBLE_EQ(curve.valueForProgress(0), 0);
    EXPECT_DOUBLE_EQ(curve.valueForProgress(1), 1);
    double previous = 0;
    for (int i = 1; i <= 100; ++i) {
        const double progress = i / 100.0;
        const double value = curve.valueForProgress(progress);
        EXPECT_NEAR(value, cssBezier(0.2, 0.9, 0.25, 1.0, progress), 1e-4) << progress;
        EXPECT_GE(value, previous) << progress;
        previous = value;
    }
}

TEST(Motion, ThereAndBackEasesEachWayAndTurnsSmoothly)
{
    const struct {
        double progress, value, tolerance;
    } rows[] = {
        {0, 0, 0}, {0.25, 0.5, 1e-3}, {0.5, 1, 0}, {0.75, 0.5, 1e-3}, {1, 0, 0},
        {0.464, 1, 0.02}, {0.536, 1, 0.02}, // close to the turn it has slowed down
        {0.036, 0, 0.02},
    };
    for (const auto &row : rows)
        EXPECT_NEAR(easedThereAndBack(row.progress), row.value, row.tolerance) << row.progress;
}

TEST(Motion, SpringsSettleAtOneWithinTheirDuration)
{
    const struct {
        double response, damping;
    } used[] = {{0.45, 0.8}, {0.34, 0.8}, {0.3, 0.82}, {0.3, 0.85}, {0.3, 0.8}};
    for (const auto &pair : used) {
        const SpringAnimation animation = spring(pair.response, pair.damping);
        SCOPED_TRACE(::testing::Message() << pair.response << "/" << pair.damping);
        EXPECT_GT(animation.durationMs, 0);
        EXPECT_LE(animation.durationMs, 1500);
        EXPECT_DOUBLE_EQ(animation.curve.valueForProgress(0), 0);
        EXPECT_DOUBLE_EQ(animation.curve.valueForProgress(1), 1);

        const double seconds = animation.durationMs / 1000.0;
        for (double progress : {0.1, 0.25, 0.5, 0.8}) {
            EXPECT_NEAR(animation.curve.valueForProgress(progress),
                        underdampedSpring(pair.response, pair.damping, progress * seconds), 1.5e-3)
                << progress;
        }
        // Past the duration the spring stays within 0.1 % of rest.
        for (double t = seconds; t < seconds + 2; t += 0.0005)
            ASSERT_LT(std::abs(1 - underdampedSpring(pair.response, pair.damping, t)), 1e-3) << t;
    }
    EXPECT_GT(spring(0.45, 0.8).durationMs, spring(0.3, 0.8).durationMs);
}

TEST(Motion, SpringsOvershootOnlyWhenUnderdamped)
{
    EXPECT_NEAR(highestValue(spring(0.3, 0.8).curve), 1 + std::exp(-0.8 * std::numbers::pi / 0.6), 1e-3);
    for (double damping : {1.0, 1.5, 3.0}) {
        const SpringAnimation animation = spring(0.3, damping);
        EXPECT_LE(highestValue(animation.curve), 1 + 1e-9) << damping;
        EXPECT_DOUBLE_EQ(animation.curve.valueForProgress(1), 1) << damping;
    }
    // A spring that would ring for seconds is cut short.
    EXPECT_EQ(spring(0.3, 0.05).durationMs, 1500);
}

TEST(GlassRim, PaintsOnlyAThinLineInsideTheEdge)
{
    // The shapes sit 3 px in from the image's edge, so a line drawn outside them would show.
    for (const QPainterPath &shape : {roundedRect(QRectF(3, 3, 120, 80), 18), capsule(QRectF(3, 3, 120, 40))}) {
        const QRect bounds = shape.boundingRect().toRect();
        QImage image = transparentImage(bounds.size() + QSize(6, 6));
        QPainter painter(&image);
        GlassRim{shape}.paint(painter);
        painter.end();

        const int midX = bounds.center().x();
        const int midY = bounds.center().y();
        const auto alphaAt = [&](int x, int y) { return qAlpha(image.pixel(x, y)); };
        EXPECT_EQ(alphaAt(midX, bounds.top() - 1), 0);           // just outside
        EXPECT_GT(alphaAt(midX, bounds.top()), 0);               // the top edge
        EXPECT_EQ(alphaAt(midX, bounds.top() + 2), 0);           // just inside the line
        EXPECT_GT(alphaAt(bounds.left(), midY), 0);              // the left edge
        EXPECT_EQ(alphaAt(bounds.left() - 1, midY), 0);
        EXPECT_EQ(alphaAt(midX, midY), 0);                       // the centre
        EXPECT_EQ(alphaAt(bounds.left() + 1, bounds.top() + 1), 0);  // outside the corner
        // Bright at the top, faint at the bottom.
        EXPECT_GT(alphaAt(midX, bounds.top()), 3 * alphaAt(midX, bounds.bottom()));
    }
}

TEST(GlassRim, SmoothCornersStayWithinTheRectangleAndFallBackWhenTooSmall)
{
    const QRectF card(10, 20, 304, 304);
    const QPainterPath smooth = roundedRect(card, 32);
    EXPECT_EQ(smooth.boundingRect(), card);
    EXPECT_FALSE(smooth.contains(card.topLeft() + QPointF(4, 4)));
    EXPECT_TRUE(smooth.contains(card.center()));
    EXPECT_TRUE(smooth.contains(QPointF(card.center().x(), card.top() + 0.5)));

    // A 40-high toast with radius 18 has no room for smooth corners.
    const QRectF toast(0, 0, 200, 40);
    EXPECT_EQ(roundedRect(toast, 18).boundingRect(), toast);
    EXPECT_TRUE(roundedRect(toast, 18).contains(QPointF(100, 20)));
}

TEST(GlassSurface, TranslucentOnlyWithARunningCompositor)
{
    tamo::testing::FakeCompositor compositor;
    EXPECT_FALSE(translucencyAvailable());
    setCompositor(&compositor);
    EXPECT_TRUE(translucencyAvailable());
    compositor.running = false;
    EXPECT_FALSE(translucencyAvailable());
    setCompositor(nullptr);
}

TEST(GlassSurface, FillIsSolidWithoutTranslucency)
{
    const QPainterPath shape = roundedRect(QRectF(0, 0, 200, 200), 32);
    for (bool translucent : {true, false}) {
        GlassStyle style;
        style.base = QColor(30, 30, 30);
        style.translucent = translucent;
        QImage image = transparentImage({200, 200});
        QPainter painter(&image);
        paintGlass(painter, shape, style);
        painter.end();

        const int centre = qAlpha(image.pixel(100, 100));
        EXPECT_EQ(centre == 255, !translucent) << centre;
        EXPECT_GT(centre, 128);
        EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0);  // outside the corner
    }
}

TEST(ViewStyles, UiFontKeepsFractionalDesignSizesInPixels)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96;
    for (double points : {13.0, 13.5, 21.0}) {
        const QFont font = uiFont(points, QFont::DemiBold);
        EXPECT_NEAR(font.pointSizeF() * dpi / 72, points, 1e-6);
        EXPECT_EQ(font.weight(), QFont::DemiBold);
    }
}
