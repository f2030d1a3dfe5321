#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>

#include <cstdint>

#include <xcb/xcb.h>

namespace tamo::x11 {

// Asks the owner of a selection for its text again every 0.8 s, to learn of a
// copy made without claiming the selection again (Tk keeps the clipboard and
// changes what it offers). Runs on a watch's connection and thread, without
// blocking: each question is answered by an event. Only a small text that
// the owner answered quickly is followed: an owner slow to answer is asked
// less often, one that does not answer or whose text grows large is no
// longer asked.
class X11ContentProbe
{
public:
    // What the copy's read found: the owner's text as `target`.
    struct Text
    {
        uint32_t owner = 0;
        QByteArray target;
        quint64 digest = 0;
    };
    // Texts larger than this are not followed.
    static constexpr qsizetype maxBytes = 256 * 1024;
    static quint64 digestOf(const QByteArray &bytes);

    X11ContentProbe(xcb_connection_t *xcb, uint32_t root, uint32_t selection);
    ~X11ContentProbe();
    X11ContentProbe(const X11ContentProbe &) = delete;
    X11ContentProbe &operator=(const X11ContentProbe &) = delete;

    // `time`: a server time at or after the owner's claim.
    void follow(const Text &text, uint32_t time);
    void stop();
    uint32_t owner() const { return m_text.owner; }

    // Milliseconds until the probe has something to do; -1 when it follows nothing.
    int msUntilDue() const;
    // Asks again when it is time, and ends a wait for an answer that never came.
    void runDue();
    // True when the event was the owner's answer and its text is no longer
    // the one followed; following then stops until follow() is called again.
    bool changedBy(const xcb_generic_event_t &event);

private:
    uint32_t atom(const QByteArray &name);
    void createWindow();

    xcb_connection_t *m_xcb;
    const uint32_t m_root;
    const uint32_t m_selection;
    uint32_t m_window = 0;
    uint32_t m_property = 0;
    QHash<QByteArray, uint32_t> m_atoms;
    bool m_following = false;
    Text m_text;
    uint32_t m_targetAtom = 0;
    uint32_t m_time = 0;
    QElapsedTimer m_clock;
    qint64 m_intervalMs = 0;
    qint64 m_nextAskMs = 0;
    qint64 m_askedAtMs = -1; // waiting for an answer while set
};

} // namespace tamo::x11
