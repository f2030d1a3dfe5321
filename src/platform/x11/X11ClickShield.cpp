#include "platform/x11/X11ClickShield.h"

#include "platform/Screens.h"

#include <QGuiApplication>
#include <QScreen>

#include <xcb/xcb.h>

namespace tamo::x11 {

namespace {

// Qt keeps a screen's top-left in device pixels and scales only what lies
// inside it; X wants device pixels throughout.
QRect devicePixels(const QRectF &logical)
{
    const QScreen *screen = QGuiApplication::screenAt(logical.center().toPoint());
    if (!screen)
        return logical.toAlignedRect();
    const qreal ratio = screen->devicePixelRatio();
    const QPointF origin = screen->geometry().topLeft();
    return QRectF(origin + (logical.topLeft() - origin) * ratio, logical.size() * ratio).toAlignedRect();
}

} // namespace

X11ClickShield::X11ClickShield(X11Connection x11, const Screens &screens)
    : m_x11(x11), m_screens(screens)
{
}

X11ClickShield::~X11ClickShield()
{
    if (m_window) {
        xcb_destroy_window(m_x11.xcb, m_window);
        xcb_flush(m_x11.xcb);
    }
}

void X11ClickShield::cover(const QRectF &frame)
{
    if (!m_x11.isValid())
        return;
    const QRect area = devicePixels(m_screens.geometry().toQt(frame));
    if (area.isEmpty())
        return;
    if (!m_window) {
        m_window = xcb_generate_id(m_x11.xcb);
        // Selecting the buttons makes the shield the owner of each click;
        // Qt drops events of a window it does not know.
        const uint32_t values[] = {1, XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE};
        xcb_create_window(m_x11.xcb, XCB_COPY_FROM_PARENT, m_window, m_x11.rootWindow, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    }
    const uint32_t geometry[] = {uint32_t(area.x()), uint32_t(area.y()), uint32_t(area.width()),
                                 uint32_t(area.height()), XCB_STACK_MODE_ABOVE};
    xcb_configure_window(m_x11.xcb, m_window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                             | XCB_CONFIG_WINDOW_HEIGHT | XCB_CONFIG_WINDOW_STACK_MODE,
                         geometry);
    xcb_map_window(m_x11.xcb, m_window);
    xcb_flush(m_x11.xcb);
    m_covering = true;
}

void X11ClickShield::remove()
{
    if (!m_window || !m_covering)
        return;
    xcb_unmap_window(m_x11.xcb, m_window);
    xcb_flush(m_x11.xcb);
    m_covering = false;
}

} // namespace tamo::x11
