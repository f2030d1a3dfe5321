#include "platform/x11/X11GlobalHotKeys.h"

#include "platform/KeyCodes.h"
#include "platform/x11/X11Event.h"
#include "platform/x11/X11Keymap.h"
#include "platform/x11/X11Log.h"

#include <QCoreApplication>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace tamo::x11 {

namespace {

// Every combination of the lock bits the keyboard has, the empty one first.
QList<quint16> lockVariants(quint16 lockMasks)
{
    QList<quint16> variants{0};
    for (quint16 bit = 1; bit; bit <<= 1) {
        if (!(lockMasks & bit))
            continue;
        const qsizetype count = variants.size();
        for (qsizetype i = 0; i < count; ++i)
            variants.append(variants[i] | bit);
    }
    return variants;
}

} // namespace

X11GlobalHotKeys::X11GlobalHotKeys(const X11Connection &connection, QObject *parent)
    : GlobalHotKeys(parent)
    , m_connection(connection)
{
    if (m_connection.isValid())
        QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalHotKeys::~X11GlobalHotKeys()
{
    for (const Grab &grab : std::as_const(m_grabs))
        ungrabKeys(grab);
}

bool X11GlobalHotKeys::registerHotKey(int slot, int keyCode, int carbonModifiers)
{
    unregisterHotKey(slot);
    const quint32 keysym = KeyCodes::toKeysym(keyCode);
    if (!m_connection.isValid() || keysym == 0)
        return false;

    const X11Keymap keymap(m_connection.xcb);
    const KeyCodes::XModifierMasks masks{keymap.modifierMask(XK_Alt_L), keymap.modifierMask(XK_Super_L)};
    if (((carbonModifiers & KeyCodes::OptionKey) && !masks.alt)
        || ((carbonModifiers & KeyCodes::ControlKey) && !masks.super))
        return false;

    Grab wanted;
    wanted.keycode = keymap.keycode(keysym);
    if (wanted.keycode == 0)
        return false;
    wanted.modifiers = KeyCodes::toXModifiers(carbonModifiers, masks);
    wanted.lockMasks = XCB_MOD_MASK_LOCK | keymap.modifierMask(XK_Num_Lock) | keymap.modifierMask(XK_Scroll_Lock);
    wanted.lockVariants = lockVariants(wanted.lockMasks);
    // Two slots on one grab would lose both when either is released.
    for (const Grab &other : std::as_const(m_grabs)) {
        if (other.keycode == wanted.keycode && other.modifiers == wanted.modifiers)
            return false;
    }
    if (!grabKeys(wanted))
        return false;
    m_grabs.insert(slot, wanted);
    return true;
}

void X11GlobalHotKeys::unregisterHotKey(int slot)
{
    const auto it = m_grabs.constFind(slot);
    if (it == m_grabs.cend())
        return;
    ungrabKeys(*it);
    if (m_held.keycode == it->keycode)
        m_held = {};
    m_grabs.erase(it);
}

void X11GlobalHotKeys::letThrough(const QList<quint8> &keycodes, const std::function<void()> &typeKeys)
{
    QList<int> letGo;
    for (auto it = m_grabs.cbegin(); it != m_grabs.cend(); ++it) {
        if (keycodes.contains(it->keycode)) {
            ungrabKeys(*it);
            letGo.append(it.key());
        }
    }
    typeKeys();
    // The server handles the keys of an XTest request, presses and releases,
    // before the next request of ours: the grabs made again below come after
    // every one of them has reached its window.
    for (const int slot : std::as_const(letGo)) {
        if (!grabKeys(m_grabs.value(slot))) {
            qCWarning(lcX11) << "a shortcut was lost: another app grabbed its keys while a paste was typed";
            m_grabs.remove(slot);
        }
    }
}

bool X11GlobalHotKeys::grabKeys(const Grab &grab)
{
    // Checked requests deliver a refusal (BadAccess: another client holds the
    // combination) to us here instead of Qt's error handler.
    QList<xcb_void_cookie_t> cookies;
    for (quint16 variant : grab.lockVariants) {
        // Not owner events: with one of our windows focused, the press and
        // its release would go to that window and the shortcut would be
        // typed into it instead of toggling.
        cookies.append(xcb_grab_key_checked(m_connection.xcb, 0, m_connection.rootWindow, grab.modifiers | variant,
                                            grab.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool refused = false;
    for (const xcb_void_cookie_t &cookie : std::as_const(cookies)) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection.xcb, cookie)) {
            refused = true;
            std::free(error);
        }
    }
    if (refused)
        ungrabKeys(grab);
    return !refused;
}

void X11GlobalHotKeys::ungrabKeys(const Grab &grab)
{
    for (quint16 variant : grab.lockVariants)
        xcb_ungrab_key(m_connection.xcb, grab.keycode, m_connection.rootWindow, grab.modifiers | variant);
    xcb_flush(m_connection.xcb);
}

bool X11GlobalHotKeys::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    // A release that reached one of our windows still ends the hold: a popup
    // of ours may have grabbed the keyboard before the key came up.
    if (const auto *release = nativeEventAs<xcb_key_release_event_t>(eventType, message, XCB_KEY_RELEASE)) {
        if (release->detail == m_held.keycode)
            m_held.releasedAt = release->time;
        return false;
    }
    const auto *key = nativeEventAs<xcb_key_press_event_t>(eventType, message, XCB_KEY_PRESS);
    if (!key || key->event != m_connection.rootWindow)
        return false;
    for (auto it = m_grabs.cbegin(); it != m_grabs.cend(); ++it) {
        const quint16 modifiers = key->state & 0xff & ~it->lockMasks;
        if (it->keycode != key->detail || it->modifiers != modifiers)
            continue;
        // The server repeats a held key as a release and a press with one
        // timestamp (or, for clients that ask, presses alone).
        const bool repeat = m_held.keycode == key->detail && (!m_held.releasedAt || *m_held.releasedAt == key->time);
        m_held = {key->detail, std::nullopt};
        if (repeat)
            break;
        // Queued so that Qt first records the event's time: a window the
        // handler activates then carries a fresh user timestamp.
        QMetaObject::invokeMethod(this, [this, slot = it.key()] { emit pressed(slot); }, Qt::QueuedConnection);
        break;
    }
    return false;
}

} // namespace tamo::x11
