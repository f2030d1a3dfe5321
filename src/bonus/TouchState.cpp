#include "bonus/TouchState.h"

#include <algorithm>
#include <cmath>

namespace tamo {

namespace {

constexpr qint64 tapWindowMs = 300;
constexpr float tapMovementLimit = 0.05f;
// A physical click's own contacts must not tap a second click.
constexpr qint64 afterNaturalClickMs = 225;
constexpr qint64 betweenEmulatedClicksMs = 90;

bool isZero(const TouchPoint &point)
{
    return point.x == 0 && point.y == 0;
}

TouchPoint sumOfThree(const TouchPoint *contacts)
{
    return {contacts[0].x + contacts[1].x + contacts[2].x, contacts[0].y + contacts[1].y + contacts[2].y};
}

} // namespace

bool TouchState::handleFrame(int device, int count, const TouchPoint *firstThree, qint64 nowMs, bool tapToClick)
{
    m_fingersByDevice.insert(device, count);
    m_threeDown = std::any_of(m_fingersByDevice.cbegin(), m_fingersByDevice.cend(), [](int n) { return n == 3; });
    if (!tapToClick || m_mouseDevices.contains(device))
        return false;
    if (count == 0)
        return tapEnded(nowMs);

    if (!m_touchStart) {
        m_touchStart = nowMs;
        m_maybeTap = true;
        m_tapStart = {};
    } else if (m_maybeTap && nowMs - *m_touchStart > tapWindowMs) {
        m_maybeTap = false;
    }
    const bool inTime = m_maybeTap;

    if (count > 3 || (count == 3 && !firstThree)) {
        m_maybeTap = false;
        m_tapStart = {};
    } else if (count == 3) {
        const TouchPoint sum = sumOfThree(firstThree);
        if (inTime) {
            m_tapStart = sum;
            m_maybeTap = false;
        }
        m_tapEnd = sum;
    }
    return false;
}

bool TouchState::tapEnded(qint64 nowMs)
{
    if (!m_touchStart)
        return false;
    const qint64 began = *m_touchStart;
    m_touchStart.reset();
    const TouchPoint start = m_tapStart;
    m_tapStart = {};
    if (isZero(start) || nowMs - began > tapWindowMs)
        return false;
    const float movement = std::fabs(start.x - m_tapEnd.x) + std::fabs(start.y - m_tapEnd.y);
    if (!(movement < tapMovementLimit))
        return false;
    if (m_lastNaturalClick && nowMs - *m_lastNaturalClick <= afterNaturalClickMs)
        return false;
    if (m_lastEmulatedClick && nowMs - *m_lastEmulatedClick < betweenEmulatedClicksMs)
        return false;
    m_lastEmulatedClick = nowMs;
    return true;
}

bool TouchState::takeClick(qint64 nowMs)
{
    if (!m_threeDown)
        return false;
    m_threeDown = false;
    m_lastNaturalClick = nowMs;
    return true;
}

} // namespace tamo
