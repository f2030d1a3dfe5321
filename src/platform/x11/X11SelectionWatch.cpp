#include "platform/x11/X11SelectionWatch.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Reply.h"

#include <xcb/xfixes.h>

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace tamo::x11 {

X11SelectionWatch::X11SelectionWatch(const QByteArray &selection, Handler handler)
    : m_handler(std::move(handler))
{
    if (connect(selection) && ::pipe(m_wake) == 0)
        m_thread = std::thread([this] { run(); });
}

X11SelectionWatch::~X11SelectionWatch()
{
    if (m_thread.joinable()) {
        const char stop = 0;
        [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &stop, 1);
        m_thread.join();
    }
    for (const int fd : m_wake) {
        if (fd >= 0)
            ::close(fd);
    }
    if (m_xcb)
        xcb_disconnect(m_xcb);
}

bool X11SelectionWatch::connect(const QByteArray &selection)
{
    uint32_t root = 0;
    m_xcb = connectOwn(&root);
    if (!m_xcb)
        return false;
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(m_xcb, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return false;
    m_firstEvent = xfixes->first_event;
    if (!replyTo<xcb_xfixes_query_version_reply>(m_xcb, xcb_xfixes_query_version(m_xcb, 5, 0)))
        return false;

    const auto atom = replyTo<xcb_intern_atom_reply>(
        m_xcb, xcb_intern_atom(m_xcb, false, uint16_t(selection.size()), selection.constData()));
    if (!atom)
        return false;
    xcb_xfixes_select_selection_input(m_xcb, root, atom->atom,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(m_xcb);
    return !xcb_connection_has_error(m_xcb);
}

void X11SelectionWatch::run()
{
    pollfd inputs[]{{xcb_get_file_descriptor(m_xcb), POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_xcb)) {
            if ((event->response_type & 0x7f) == m_firstEvent + XCB_XFIXES_SELECTION_NOTIFY) {
                const auto *notice = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
                // Asked at once: a short-lived owner (xclip) may be gone soon.
                const uint32_t owner = notice->owner;
                m_handler({owner, owner ? clientProcessID(m_xcb, owner) : std::nullopt});
            }
            std::free(event);
        }
        if (xcb_connection_has_error(m_xcb))
            return;
        if (::poll(inputs, 2, -1) < 0 && errno != EINTR)
            return;
        if (inputs[1].revents)
            return;
    }
}

} // namespace tamo::x11
