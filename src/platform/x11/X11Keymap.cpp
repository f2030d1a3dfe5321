#include "platform/x11/X11Keymap.h"

#include "platform/x11/X11Reply.h"

#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace tamo::x11 {

namespace {
using KeycodeList = std::unique_ptr<xcb_keycode_t, void (*)(void *)>;

KeycodeList keycodesFor(xcb_key_symbols_t *symbols, quint32 keysym)
{
    return {xcb_key_symbols_get_keycode(symbols, keysym), std::free};
}
} // namespace

X11Keymap::X11Keymap(xcb_connection_t *connection)
    : m_symbols(xcb_key_symbols_alloc(connection))
    , m_modifiers(replyTo<xcb_get_modifier_mapping_reply>(connection, xcb_get_modifier_mapping(connection)))
{
}

X11Keymap::~X11Keymap()
{
    xcb_key_symbols_free(m_symbols);
}

quint8 X11Keymap::keycode(quint32 keysym) const
{
    const KeycodeList codes = keycodesFor(m_symbols, keysym);
    return codes ? codes.get()[0] : 0;
}

quint16 X11Keymap::modifierMask(quint32 keysym) const
{
    const KeycodeList codes = keycodesFor(m_symbols, keysym);
    if (!codes || !m_modifiers)
        return 0;
    const int perModifier = m_modifiers->keycodes_per_modifier;
    const xcb_keycode_t *map = xcb_get_modifier_mapping_keycodes(m_modifiers.get());
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t mapped = map[modifier * perModifier + i];
            for (const xcb_keycode_t *code = codes.get(); mapped && *code; ++code) {
                if (*code == mapped)
                    return quint16(1u << modifier);
            }
        }
    }
    return 0;
}

} // namespace tamo::x11
