#pragma once

#include "platform/x11/X11ContentProbe.h"

#include <QMutex>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include <QByteArray>

struct xcb_connection_t;

namespace tamo::x11 {

// Follows the owner of a selection (CLIPBOARD, PRIMARY) through XFixes, on an X
// connection and a thread of its own: every change is seen as it happens,
// however busy the main thread is, while the app that made the copy still
// holds it. Asked to, it also follows the text of the current owner
// (X11ContentProbe) and announces a copy that owner made without claiming
// the selection again.
class X11SelectionWatch
{
public:
    struct Notice
    {
        uint32_t owner = 0; // 0 when the owner quit and left the clipboard empty
        std::optional<qint64> processID;
        quint64 serial = 0; // moves with every notice
    };
    // Called on the watch's thread, once per change, in order.
    using Handler = std::function<void(const Notice &)>;

    X11SelectionWatch(const QByteArray &selection, Handler handler);
    ~X11SelectionWatch();
    X11SelectionWatch(const X11SelectionWatch &) = delete;
    X11SelectionWatch &operator=(const X11SelectionWatch &) = delete;

    // False when the X server could not be reached or lacks XFixes.
    bool isWatching() const { return m_thread.joinable(); }

    // The copy of notice `serial` held `text`: a change of it under the same
    // owner is announced as a notice of its own. Ignored once a newer notice
    // came. Any thread.
    void followText(quint64 serial, const X11ContentProbe::Text &text);

private:
    bool connect(const QByteArray &selection);
    void run();
    void announce(uint32_t owner);
    void startFollowing();

    Handler m_handler;
    xcb_connection_t *m_xcb = nullptr;
    uint32_t m_root = 0;
    uint32_t m_selection = 0;
    uint8_t m_firstEvent = 0;
    int m_wake = -1; // an eventfd: a text to follow, or the end
    std::atomic<bool> m_stopping = false;
    quint64 m_serial = 0;       // the watch's thread only
    uint32_t m_noticeTime = 0;  // the server time of the newest notice
    QMutex m_followLock;
    std::optional<std::pair<quint64, X11ContentProbe::Text>> m_toFollow;
    std::unique_ptr<X11ContentProbe> m_probe; // made when first asked
    std::thread m_thread;
};

} // namespace tamo::x11
