#pragma once

#include <QObject>

namespace tamo {

// Synthesised input into other apps: the ⌘V of a direct paste. Our panels
// take the keyboard focus while open, so the poster first gives it back to
// the window the user was working in.
class EventPoster : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Notes the active window; call it before our panel takes the focus.
    virtual void rememberFrontWindow() = 0;

    // Asks for the noted window to be active again, then waits without
    // blocking the event loop until it has the keyboard focus, or for at most
    // restoreTimeoutMs. Reports the outcome with frontWindowRestored().
    virtual void restoreFrontWindow() = 0;

    // Restores the front window as above, then sends the paste keystroke to
    // whichever window has the focus: ⌘V (Ctrl+V), or a terminal's own paste
    // chord (for one that pastes only PRIMARY, PRIMARY gets the clipboard's
    // content first). Modifiers the user still holds are released first, so
    // the app sees exactly the paste chord.
    virtual void postPaste() = 0;

    // Ctrl+T to the window with the focus: a new tab where the app offers no
    // accessible menu item for it.
    virtual void postNewTab() = 0;

    // The wait ends as soon as the focus arrives; the bound only matters when
    // a busy window manager is slow to hand it over, and a keystroke sent
    // before then lands in the wrong window.
    static constexpr int restoreTimeoutMs = 1000;

signals:
    // False when no window was noted or the focus did not arrive in time.
    void frontWindowRestored(bool focused);
};

} // namespace tamo
