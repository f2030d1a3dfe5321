#include "platform/x11/X11EventPoster.h"

#include "platform/KeyCodes.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11GlobalHotKeys.h"
#include "platform/x11/X11Log.h"
#include "platform/x11/X11Reply.h"

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QList>
#include <QMimeData>

namespace tamo::x11 {

namespace {

constexpr int focusPollIntervalMs = 2;
constexpr uint32_t pagerSourceIndication = 2;

QList<xcb_keysym_t> chordKeysyms(PasteKeystroke keystroke)
{
    const xcb_keysym_t v = KeyCodes::toKeysym(KeyCodes::KeyV);
    switch (keystroke) {
    case PasteKeystroke::ControlV:
        return {XK_Control_L, v};
    case PasteKeystroke::ControlShiftV:
        return {XK_Control_L, XK_Shift_L, v};
    case PasteKeystroke::ControlAltV:
        return {XK_Control_L, XK_Alt_L, v};
    case PasteKeystroke::ShiftInsert:
        return {XK_Shift_L, XK_Insert};
    case PasteKeystroke::ControlY:
        return {XK_Control_L, XK_y};
    }
    return {};
}

// What a paste puts on the clipboard is ours; the same goes on PRIMARY for a
// terminal that pastes only PRIMARY from the keyboard. Another owner's
// clipboard is left alone: reading it here could block.
void copyClipboardToPrimary()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *ours = clipboard->ownsClipboard() ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    if (!ours)
        return;
    auto *copy = new QMimeData;
    for (const QString &format : ours->formats())
        copy->setData(format, ours->data(format));
    clipboard->setMimeData(copy, QClipboard::Selection);
}

} // namespace

X11EventPoster::X11EventPoster(X11Connection x11, const X11ActiveWindow &activeWindow, X11GlobalHotKeys &hotKeys,
                               QObject *parent)
    : EventPoster(parent)
    , m_x11(x11)
    , m_activeWindow(activeWindow)
    , m_hotKeys(hotKeys)
    , m_properties(x11.xcb)
{
    m_focusPoll.setInterval(focusPollIntervalMs);
    m_focusPoll.setTimerType(Qt::PreciseTimer);
    connect(&m_focusPoll, &QTimer::timeout, this, &X11EventPoster::checkFocus);
}

void X11EventPoster::rememberFrontWindow()
{
    if (!m_x11.isValid())
        return;
    // Without a window manager nobody keeps _NET_ACTIVE_WINDOW; the focus
    // window is the nearest thing. One of our own panels is never the target:
    // the window before it is.
    if (m_activeWindow.activeWindow()) {
        m_frontWindow = m_activeWindow.userWindow();
        return;
    }
    const uint32_t focus = focusWindow();
    if (focus && !m_activeWindow.isOwnWindow(focus))
        m_frontWindow = focus;
}

void X11EventPoster::restoreFrontWindow()
{
    if (m_frontWindow)
        requestActivation(m_frontWindow);
    m_restoreClock.start();
    m_focusPoll.start();
}

void X11EventPoster::postPaste()
{
    m_pasteWhenRestored = true;
    restoreFrontWindow();
}

bool X11EventPoster::hasWindowManager() const
{
    // EWMH: the root names a check window that names itself; a stale name
    // outlives a window manager that quit.
    const uint32_t check = m_properties.numbers(m_x11.rootWindow, "_NET_SUPPORTING_WM_CHECK").value(0);
    return check && m_properties.numbers(check, "_NET_SUPPORTING_WM_CHECK").value(0) == check;
}

void X11EventPoster::requestActivation(uint32_t window)
{
    if (hasWindowManager()) {
        sendToWindowManager(m_x11, m_properties.atom("_NET_ACTIVE_WINDOW"), window,
                            {pagerSourceIndication, XCB_CURRENT_TIME});
    } else {
        // Fails harmlessly (BadMatch) when the window is gone or unmapped.
        std::free(xcb_request_check(m_x11.xcb, xcb_set_input_focus_checked(
                                                   m_x11.xcb, XCB_INPUT_FOCUS_PARENT, window,
                                                   XCB_CURRENT_TIME)));
    }
}

void X11EventPoster::checkFocus()
{
    const bool focused = m_frontWindow && focusIsInside(m_frontWindow);
    if (focused || !m_frontWindow || m_restoreClock.hasExpired(restoreTimeoutMs)) {
        m_focusPoll.stop();
        finishRestore(focused);
    }
}

void X11EventPoster::finishRestore(bool focused)
{
    // Even when the noted window did not come back (it was closed, say), the
    // keystroke goes to whatever has the focus, as a ⌘V goes to the front app;
    // but never to a window of ours, where it would paste into ourselves.
    if (std::exchange(m_pasteWhenRestored, false)) {
        if (focused || !m_activeWindow.isOwnWindow(focusWindow()))
            sendPasteKeystroke();
        else
            qCWarning(lcX11) << "paste not sent: the window it was meant for did not come back";
    }
    emit frontWindowRestored(focused);
}

uint32_t X11EventPoster::focusWindow() const
{
    if (!m_x11.isValid())
        return 0;
    const auto reply = replyTo<xcb_get_input_focus_reply>(m_x11.xcb, xcb_get_input_focus(m_x11.xcb));
    if (!reply || reply->focus == XCB_NONE || reply->focus == XCB_INPUT_FOCUS_POINTER_ROOT
        || reply->focus == m_x11.rootWindow)
        return 0;
    return reply->focus;
}

uint32_t X11EventPoster::parentWindow(uint32_t window) const
{
    const auto reply = replyTo<xcb_query_tree_reply>(m_x11.xcb, xcb_query_tree(m_x11.xcb, window));
    return reply && reply->parent != m_x11.rootWindow ? reply->parent : 0;
}

bool X11EventPoster::focusIsInside(uint32_t window) const
{
    for (uint32_t w = focusWindow(); w; w = parentWindow(w)) {
        if (w == window)
            return true;
    }
    return false;
}

PasteKeystroke X11EventPoster::keystrokeForFocus() const
{
    // The focus may sit on a child of the client window that carries WM_CLASS.
    for (uint32_t w = focusWindow(); w; w = parentWindow(w)) {
        const QStringList windowClass = m_properties.strings(w, "WM_CLASS");
        if (!windowClass.isEmpty())
            return pasteKeystrokeForWindowClass(windowClass.value(0), windowClass.value(1));
    }
    return PasteKeystroke::ControlV;
}

void X11EventPoster::sendPasteKeystroke()
{
    const PasteKeystroke keystroke = keystrokeForFocus();
    const QList<xcb_keycode_t> chord = chordKeycodes(chordKeysyms(keystroke));
    if (chord.isEmpty()) {
        qCWarning(lcX11) << "cannot paste: no XTest extension, or the keyboard map lacks a key of the paste chord";
        return;
    }
    if (pastesPrimary(keystroke))
        copyClipboardToPrimary();
    sendChord(chord);
}

void X11EventPoster::postNewTab()
{
    const QList<xcb_keycode_t> chord = chordKeycodes({XK_Control_L, XK_t});
    if (chord.isEmpty())
        qCWarning(lcX11) << "cannot open a tab: no XTest extension, or no T key";
    else
        sendChord(chord);
}

QList<xcb_keycode_t> X11EventPoster::chordKeycodes(const QList<xcb_keysym_t> &keysyms) const
{
    if (!m_x11.isValid() || !xcb_get_extension_data(m_x11.xcb, &xcb_test_id)->present)
        return {};
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_x11.xcb);
    QList<xcb_keycode_t> chord;
    for (const xcb_keysym_t keysym : keysyms) {
        xcb_keycode_t *keycodes = xcb_key_symbols_get_keycode(symbols, keysym);
        chord.append(keycodes ? keycodes[0] : 0);
        std::free(keycodes);
    }
    xcb_key_symbols_free(symbols);
    return chord.contains(0) ? QList<xcb_keycode_t>() : chord;
}

void X11EventPoster::sendChord(const QList<xcb_keycode_t> &chord)
{
    // A terminal's Ctrl+Shift+V is also our default shortcut: our own grab
    // would take the paste and reopen the drawer.
    m_hotKeys.letThrough(chord, [&] {
        releaseHeldModifiers();
        for (const xcb_keycode_t keycode : chord)
            fakeKey(XCB_KEY_PRESS, keycode);
        for (auto it = chord.crbegin(); it != chord.crend(); ++it)
            fakeKey(XCB_KEY_RELEASE, *it);
    });
    xcb_flush(m_x11.xcb);
}

void X11EventPoster::releaseHeldModifiers()
{
    // Still held from the hot key or ⌘-digit, they would turn Ctrl+V into
    // Shift+Super+Ctrl+V, which pastes nowhere.
    const auto keymap = replyTo<xcb_query_keymap_reply>(m_x11.xcb, xcb_query_keymap(m_x11.xcb));
    const auto modifierMap =
        replyTo<xcb_get_modifier_mapping_reply>(m_x11.xcb, xcb_get_modifier_mapping(m_x11.xcb));
    if (!keymap || !modifierMap)
        return;
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(modifierMap.get());
    const int count = xcb_get_modifier_mapping_keycodes_length(modifierMap.get());
    for (int i = 0; i < count; ++i) {
        const xcb_keycode_t keycode = keycodes[i];
        if (keycode && (keymap->keys[keycode / 8] & (1 << (keycode % 8))))
            fakeKey(XCB_KEY_RELEASE, keycode);
    }
}

void X11EventPoster::fakeKey(uint8_t type, uint8_t keycode)
{
    xcb_test_fake_input(m_x11.xcb, type, keycode, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
}

} // namespace tamo::x11
