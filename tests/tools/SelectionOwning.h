#pragma once

// What the test tools that own the clipboard share, on their one connection.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tamo::tools {

inline xcb_atom_t internAtom(xcb_connection_t *c, const std::string &name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, false, uint16_t(name.size()), name.data()), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

// Takes CLIPBOARD for a window of its own and prints "owned".
inline void ownClipboard(xcb_connection_t *c)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(c, window, internAtom(c, "CLIPBOARD"), XCB_CURRENT_TIME);
    xcb_flush(c);
    std::printf("owned\n");
    std::fflush(stdout);
}

// Tells the requestor its answer is on `property`; XCB_ATOM_NONE refuses.
inline void notifyRequestor(xcb_connection_t *c, const xcb_selection_request_event_t &request, xcb_atom_t property)
{
    xcb_selection_notify_event_t notice{};
    notice.response_type = XCB_SELECTION_NOTIFY;
    notice.time = request.time;
    notice.requestor = request.requestor;
    notice.selection = request.selection;
    notice.target = request.target;
    notice.property = property;
    xcb_send_event(c, false, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&notice));
    xcb_flush(c);
}

// Waits until the requestor has deleted the property: it wants the next
// increment.
inline void waitForDeletion(xcb_connection_t *c, xcb_atom_t property)
{
    for (;;) {
        xcb_generic_event_t *event = xcb_wait_for_event(c);
        if (!event)
            std::exit(1);
        const auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event);
        const bool deleted = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && change->atom == property
                             && change->state == XCB_PROPERTY_DELETE;
        std::free(event);
        if (deleted)
            return;
    }
}

} // namespace tamo::tools
