#pragma once

#include "platform/ClickShield.h"
#include "platform/x11/X11Connection.h"

#include <QtGlobal>

namespace tamo {
class Screens;
}

namespace tamo::x11 {

// An input-only window: X gives it clicks but has nothing of it to draw, so
// it can never flash as a black or grey slab. Override-redirect keeps the
// window manager from framing, focusing or restacking it.
class X11ClickShield final : public ClickShield
{
public:
    X11ClickShield(X11Connection x11, const Screens &screens);
    ~X11ClickShield() override;

    void cover(const QRectF &frame) override;
    void remove() override;
    bool isCovering() const override { return m_covering; }

    // The X window; none before the first cover.
    quint32 window() const { return m_window; }

private:
    X11Connection m_x11;
    const Screens &m_screens;
    quint32 m_window = 0;
    bool m_covering = false;
};

} // namespace tamo::x11
