#pragma once

#include <QRectF>

namespace tamo {

// An invisible window that takes every click falling on an area of the
// screen, so the window beneath never sees them. It draws nothing at all,
// with or without a compositor, and never takes the keyboard.
class ClickShield
{
public:
    virtual ~ClickShield() = default;

    // Covers the frame (Screens convention), above every other window.
    virtual void cover(const QRectF &frame) = 0;
    virtual void remove() = 0;
    virtual bool isCovering() const = 0;
};

} // namespace tamo
