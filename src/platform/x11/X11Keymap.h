#pragma once

#include <QtGlobal>

#include <memory>

struct xcb_connection_t;
struct xcb_get_modifier_mapping_reply_t;
typedef struct _XCBKeySymbols xcb_key_symbols_t;

namespace tamo::x11 {

// A snapshot of the server's keyboard map: which key code types a keysym and
// which modifier bit a modifier key sets. Take a fresh one for each use so
// that a changed layout is seen.
class X11Keymap
{
public:
    explicit X11Keymap(xcb_connection_t *connection);
    ~X11Keymap();
    X11Keymap(const X11Keymap &) = delete;
    X11Keymap &operator=(const X11Keymap &) = delete;

    // 0 when no key on the keyboard types the keysym.
    quint8 keycode(quint32 keysym) const;
    // The ModN (or Lock) bit the key carrying the keysym sets; 0 when none does.
    quint16 modifierMask(quint32 keysym) const;

private:
    xcb_key_symbols_t *m_symbols;
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, void (*)(void *)> m_modifiers;
};

} // namespace tamo::x11
