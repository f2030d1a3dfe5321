#pragma once

#include "platform/EventPoster.h"
#include "platform/PasteKeystroke.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

#include <QElapsedTimer>
#include <QTimer>

namespace tamo::x11 {

// Focus hand-back through the window manager (a _NET_ACTIVE_WINDOW request
// made as a pager makes it, so focus-stealing prevention lets it through; with
// no window manager, by setting the input focus) and keys through XTest.
// The hand-back is confirmed by polling the input focus every 2 ms from a
// timer, so the event loop keeps running, and the paste keystroke goes out
// only once the window can receive it: openbox needs 2-3 ms, and keys sent at
// once reach no one. Our own shortcuts let the typed keys through.
class X11ActiveWindow;
class X11GlobalHotKeys;

class X11EventPoster final : public EventPoster
{
public:
    X11EventPoster(X11Connection x11, const X11ActiveWindow &activeWindow, X11GlobalHotKeys &hotKeys,
                   QObject *parent = nullptr);

    void rememberFrontWindow() override;
    void restoreFrontWindow() override;
    void postPaste() override;
    void postNewTab() override;

private:
    uint32_t parentWindow(uint32_t window) const; // 0 at the root
    bool hasWindowManager() const;
    void requestActivation(uint32_t window);
    void checkFocus();
    void finishRestore(bool focused);
    uint32_t focusWindow() const; // 0 when no window has the focus
    bool focusIsInside(uint32_t window) const;
    PasteKeystroke keystrokeForFocus() const;
    void sendPasteKeystroke();
    // Empty without XTest or when a key is missing from the keyboard map.
    QList<quint8> chordKeycodes(const QList<quint32> &keysyms) const;
    void sendChord(const QList<quint8> &chord);
    void releaseHeldModifiers();
    void fakeKey(uint8_t type, uint8_t keycode);

    X11Connection m_x11;
    const X11ActiveWindow &m_activeWindow;
    X11GlobalHotKeys &m_hotKeys;
    X11Properties m_properties;
    uint32_t m_frontWindow = 0;
    QTimer m_focusPoll;
    QElapsedTimer m_restoreClock;
    bool m_pasteWhenRestored = false;
};

} // namespace tamo::x11
