#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

#include <QByteArray>

struct xcb_connection_t;

namespace tamo::x11 {

// Follows the owner of a selection (CLIPBOARD, PRIMARY) through XFixes, on an X
// connection and a thread of its own: every change is seen as it happens,
// however busy the main thread is, while the app that made the copy still
// holds it.
class X11SelectionWatch
{
public:
    struct Notice
    {
        uint32_t owner = 0; // 0 when the owner quit and left the clipboard empty
        std::optional<qint64> processID;
    };
    // Called on the watch's thread, once per change, in order.
    using Handler = std::function<void(const Notice &)>;

    X11SelectionWatch(const QByteArray &selection, Handler handler);
    ~X11SelectionWatch();
    X11SelectionWatch(const X11SelectionWatch &) = delete;
    X11SelectionWatch &operator=(const X11SelectionWatch &) = delete;

    // False when the X server could not be reached or lacks XFixes.
    bool isWatching() const { return m_thread.joinable(); }

private:
    bool connect(const QByteArray &selection);
    void run();

    Handler m_handler;
    xcb_connection_t *m_xcb = nullptr;
    uint8_t m_firstEvent = 0;
    int m_wake[2] = {-1, -1}; // written to stop the thread
    std::thread m_thread;
};

} // namespace tamo::x11
