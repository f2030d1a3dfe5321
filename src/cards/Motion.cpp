#include "cards/Motion.h"

#include <QPointF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace tamo {

namespace {

constexpr double settleTolerance = 0.001;  // settled within 0.1 % of the travel
constexpr double longestSpring = 1.5;      // s; a barely damped spring is cut off here
constexpr double sampleStep = 0.001;       // s
// Qt's Bézier easing holds at most ten pieces (more overrun its storage).
constexpr int curveSegments = 10;

// A unit spring released at rest at 0, pulled towards 1.
class DampedSpring
{
public:
    DampedSpring(double response, double dampingFraction)
        : m_omega(2 * std::numbers::pi / response)
        , m_zeta(dampingFraction)
    {
    }

    double position(double t) const
    {
        if (isCritical())
            return 1 - std::exp(-m_omega * t) * (1 + m_omega * t);
        if (m_zeta < 1) {
            const double wd = dampedFrequency();
            return 1 - std::exp(-m_zeta * m_omega * t)
                           * (std::cos(wd * t) + m_zeta * m_omega / wd * std::sin(wd * t));
        }
        const auto [r1, r2] = overdampedRoots();
        return 1 + (r2 * std::exp(r1 * t) - r1 * std::exp(r2 * t)) / (r1 - r2);
    }

    double velocity(double t) const
    {
        if (isCritical())
            return m_omega * m_omega * t * std::exp(-m_omega * t);
        if (m_zeta < 1) {
            const double wd = dampedFrequency();
            return m_omega * m_omega / wd * std::exp(-m_zeta * m_omega * t) * std::sin(wd * t);
        }
        const auto [r1, r2] = overdampedRoots();
        return r1 * r2 * (std::exp(r1 * t) - std::exp(r2 * t)) / (r1 - r2);
    }

    // The time after which the spring stays within the tolerance of rest.
    double settlingTime() const
    {
        double lastAway = 0;
        for (double t = 0; t < longestSpring; t += sampleStep) {
            if (std::abs(1 - position(t)) >= settleTolerance)
                lastAway = t;
        }
        return std::min(lastAway + sampleStep, longestSpring);
    }

private:
    bool isCritical() const { return std::abs(m_zeta - 1) < 1e-6; }
    double dampedFrequency() const { return m_omega * std::sqrt(1 - m_zeta * m_zeta); }
    std::pair<double, double> overdampedRoots() const
    {
        const double spread = std::sqrt(m_zeta * m_zeta - 1);
        return {-m_omega * (m_zeta - spread), -m_omega * (m_zeta + spread)};
    }

    double m_omega;
    double m_zeta;
};

} // namespace

QEasingCurve timingCurve(double x1, double y1, double x2, double y2)
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(x1, y1), QPointF(x2, y2), QPointF(1, 1));
    return curve;
}

qreal easedThereAndBack(qreal loopProgress)
{
    static const QEasingCurve easeInOut = timingCurve(0.42, 0, 0.58, 1);
    const qreal half = loopProgress < 0.5 ? loopProgress * 2 : (1 - loopProgress) * 2;
    return easeInOut.valueForProgress(half);
}

SpringAnimation spring(double response, double dampingFraction)
{
    // Guards against a zero that would make the motion endless or instant.
    const DampedSpring motion(std::max(response, 0.01), std::max(dampingFraction, 0.01));
    const double duration = motion.settlingTime();

    // Cubic Hermite pieces through the spring's positions and velocities, with
    // the handles a third of the way along each piece, so each piece's time
    // runs linearly and the curve is evaluated without root finding. The
    // pieces are shorter at the start, where the spring moves fastest.
    QEasingCurve curve(QEasingCurve::BezierSpline);
    QPointF from(0, 0);
    double fromSlope = 0;
    for (int i = 1; i <= curveSegments; ++i) {
        const bool last = i == curveSegments;
        const double progress = last ? 1 : std::pow(double(i) / curveSegments, 1.5);
        // The animation ends exactly at the target.
        const QPointF to(progress, last ? 1 : motion.position(progress * duration));
        const double toSlope = duration * motion.velocity(progress * duration);
        const double third = (to.x() - from.x()) / 3;
        curve.addCubicBezierSegment(from + QPointF(third, fromSlope * third), to - QPointF(third, toSlope * third),
                                    to);
        from = to;
        fromSlope = toSlope;
    }
    return {int(std::lround(duration * 1000)), curve};
}

} // namespace tamo
