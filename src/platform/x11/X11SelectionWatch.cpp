#include "platform/x11/X11SelectionWatch.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Reply.h"

#include <xcb/xfixes.h>

#include <cerrno>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tamo::x11 {

X11SelectionWatch::X11SelectionWatch(const QByteArray &selection, Handler handler)
    : m_handler(std::move(handler))
{
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wake >= 0 && connect(selection))
        m_thread = std::thread([this] { run(); });
}

X11SelectionWatch::~X11SelectionWatch()
{
    if (m_thread.joinable()) {
        m_stopping = true;
        ::eventfd_write(m_wake, 1);
        m_thread.join();
    }
    m_probe.reset();
    if (m_wake >= 0)
        ::close(m_wake);
    if (m_xcb)
        xcb_disconnect(m_xcb);
}

bool X11SelectionWatch::connect(const QByteArray &selection)
{
    m_xcb = connectOwn(&m_root);
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
    m_selection = atom->atom;
    xcb_xfixes_select_selection_input(m_xcb, m_root, m_selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(m_xcb);
    return !xcb_connection_has_error(m_xcb);
}

void X11SelectionWatch::followText(quint64 serial, const X11ContentProbe::Text &text)
{
    {
        const QMutexLocker lock(&m_followLock);
        m_toFollow.emplace(serial, text);
    }
    ::eventfd_write(m_wake, 1);
}

void X11SelectionWatch::run()
{
    pollfd inputs[]{{xcb_get_file_descriptor(m_xcb), POLLIN, 0}, {m_wake, POLLIN, 0}};
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_xcb)) {
            if ((event->response_type & 0x7f) == m_firstEvent + XCB_XFIXES_SELECTION_NOTIFY) {
                const auto *notice = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
                m_noticeTime = notice->timestamp;
                if (m_probe)
                    m_probe->stop();
                announce(notice->owner);
            } else if (m_probe && m_probe->changedBy(*event)) {
                announce(m_probe->owner());
            }
            std::free(event);
        }
        if (xcb_connection_has_error(m_xcb))
            return;
        startFollowing();
        if (m_probe)
            m_probe->runDue();
        if (::poll(inputs, 2, m_probe ? m_probe->msUntilDue() : -1) < 0 && errno != EINTR)
            return;
        if (m_stopping)
            return;
        if (inputs[1].revents) {
            eventfd_t count = 0;
            ::eventfd_read(m_wake, &count);
        }
    }
}

void X11SelectionWatch::announce(uint32_t owner)
{
    // Asked at once: a short-lived owner (xclip) may be gone soon.
    m_handler({owner, owner ? clientProcessID(m_xcb, owner) : std::nullopt, ++m_serial});
}

void X11SelectionWatch::startFollowing()
{
    std::optional<std::pair<quint64, X11ContentProbe::Text>> request;
    {
        const QMutexLocker lock(&m_followLock);
        request.swap(m_toFollow);
    }
    if (!request || request->first != m_serial)
        return;
    if (!m_probe)
        m_probe = std::make_unique<X11ContentProbe>(m_xcb, m_root, m_selection);
    m_probe->follow(request->second, m_noticeTime);
}

} // namespace tamo::x11
