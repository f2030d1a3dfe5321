#pragma once

#include "platform/TouchDevices.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace tamo {

// What the contact frames of the multitouch devices say about a three-finger
// middle click: whether three fingers rest (a physical click then becomes a
// middle click) and whether a short three-finger tap just ended. Times are
// monotonic milliseconds. Not thread-safe: the caller holds one lock around it.
class TouchState
{
public:
    // A frame of `count` contacts; `firstThree` holds the first three
    // positions, or is null. True when a tapped middle click is due.
    bool handleFrame(int device, int count, const TouchPoint *firstThree, qint64 nowMs, bool tapToClick);
    // A left or right button went down; true when it becomes a middle click.
    bool takeClick(qint64 nowMs);
    void addMouseDevice(int device) { m_mouseDevices.insert(device); }
    bool threeDown() const { return m_threeDown; }

private:
    bool tapEnded(qint64 nowMs);

    QHash<int, int> m_fingersByDevice;
    QSet<int> m_mouseDevices;
    bool m_threeDown = false;
    std::optional<qint64> m_touchStart;
    bool m_maybeTap = false;
    // Summed positions of the three contacts; a zero start means no candidate.
    TouchPoint m_tapStart;
    TouchPoint m_tapEnd;
    std::optional<qint64> m_lastNaturalClick;
    std::optional<qint64> m_lastEmulatedClick;
};

} // namespace tamo
