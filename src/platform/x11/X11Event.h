#pragma once

#include <QByteArray>

#include <xcb/xcb.h>

namespace tamo::x11 {

// The event as `Event` when it is of `type` (whatever its sent flag).
template<typename Event>
const Event *eventAs(const xcb_generic_event_t &event, uint8_t type)
{
    return (event.response_type & 0x7f) == type ? reinterpret_cast<const Event *>(&event) : nullptr;
}

// The same for what Qt hands a native event filter; nullptr for anything
// that is no X event.
template<typename Event>
const Event *nativeEventAs(const QByteArray &eventType, const void *message, uint8_t type)
{
    if (eventType != "xcb_generic_event_t")
        return nullptr;
    return eventAs<Event>(*static_cast<const xcb_generic_event_t *>(message), type);
}

} // namespace tamo::x11
