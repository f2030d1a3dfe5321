#include "platform/x11/X11KeyboardLayouts.h"

#include "platform/KeyNames.h"
#include "platform/x11/X11Reply.h"

#include <QProcess>

// The header names a field "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xcb_keysyms.h>
#include <xcb/xkb.h>
#undef explicit

namespace tamo::x11 {

namespace {

constexpr int unknownLayout = -1;

} // namespace

X11KeyboardLayouts::X11KeyboardLayouts(const X11Connection &connection)
    : m_connection(connection)
    , m_properties(connection.xcb)
    , m_names(XkbLayoutNames::system())
{
    if (!m_connection.isValid())
        return;
    const auto reply = replyTo<xcb_xkb_use_extension_reply>(
        m_connection.xcb, xcb_xkb_use_extension(m_connection.xcb, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION));
    m_hasXkb = reply && reply->supported;
}

QStringList X11KeyboardLayouts::layoutIDs() const
{
    if (!m_hasXkb)
        return {};
    // rules, model, layouts, variants, options
    const QStringList rules = m_properties.strings(m_connection.rootWindow, "_XKB_RULES_NAMES");
    return xkbLayoutIDs(rules.value(2), rules.value(3));
}

QList<KeyboardLayout> X11KeyboardLayouts::layouts() const
{
    QList<KeyboardLayout> layouts;
    for (const QString &id : layoutIDs())
        layouts.append({id, m_names.name(id)});
    return layouts;
}

QString X11KeyboardLayouts::currentLayoutID() const
{
    if (!m_hasXkb)
        return {};
    const auto state =
        replyTo<xcb_xkb_get_state_reply>(m_connection.xcb, xcb_xkb_get_state(m_connection.xcb, XCB_XKB_ID_USE_CORE_KBD));
    if (!state)
        return {};
    return layoutIDs().value(state->lockedGroup);
}

int X11KeyboardLayouts::select(const QString &id)
{
    const qsizetype group = layoutIDs().indexOf(id);
    if (group < 0)
        return unknownLayout;
    const xcb_void_cookie_t cookie = xcb_xkb_latch_lock_state_checked(
        m_connection.xcb, XCB_XKB_ID_USE_CORE_KBD, 0, 0, true, static_cast<uint8_t>(group), 0, false, 0);
    xcb_generic_error_t *error = xcb_request_check(m_connection.xcb, cookie);
    const int status = error ? error->error_code : 0;
    std::free(error);
    return status;
}

bool X11KeyboardLayouts::followsWindowLayout() const
{
    // GNOME's own switch; other desktops keep one layout for all windows.
    QProcess gsettings;
    gsettings.start(QStringLiteral("gsettings"),
                    {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.input-sources"),
                     QStringLiteral("per-window")});
    if (!gsettings.waitForFinished(2000) || gsettings.exitStatus() != QProcess::NormalExit || gsettings.exitCode() != 0)
        return false;
    return gsettings.readAllStandardOutput().trimmed() == "true";
}

QString X11KeyboardLayouts::keyLeftOfOne() const
{
    // The evdev key code of the key left of 1 (TLDE) on every PC keyboard.
    constexpr xcb_keycode_t leftOfOne = 49;
    int group = 0;
    if (m_hasXkb) {
        const auto state = replyTo<xcb_xkb_get_state_reply>(
            m_connection.xcb, xcb_xkb_get_state(m_connection.xcb, XCB_XKB_ID_USE_CORE_KBD));
        group = state ? state->lockedGroup : 0;
    }
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_connection.xcb);
    if (!symbols)
        return {};
    // The core map holds the first two groups, two columns each.
    xcb_keysym_t keysym = group < 2 ? xcb_key_symbols_get_keysym(symbols, leftOfOne, 2 * group) : 0;
    if (keysym == 0)
        keysym = xcb_key_symbols_get_keysym(symbols, leftOfOne, 0);
    xcb_key_symbols_free(symbols);
    return keysymCap(keysym);
}

} // namespace tamo::x11
