#pragma once

#include <QString>
#include <Qt>

namespace tamo {

class Defaults;
class GlobalHotKeyRegistry;

// The main shortcut, which opens the history: stored in the user defaults as
// a virtual key code, Carbon modifiers and the text the settings show, and
// held by slot 0 of the registry.
class HotKey
{
public:
    HotKey(GlobalHotKeyRegistry &registry, Defaults &defaults);

    // Refuses (false, storing nothing) a combination another slot already
    // uses. Otherwise stores it and registers it; true even when the system
    // refuses the hot key, since the choice itself is kept.
    bool setShortcut(int keyCode, int modifiers, const QString &display);
    void registerFromDefaults();

    // Carbon modifier bits of the held keys (⌘ Ctrl, ⇧ Shift, ⌥ Alt,
    // ⌃ Meta); other modifiers are ignored.
    static int carbonModifiers(Qt::KeyboardModifiers modifiers);
    // "⌃⌥⇧⌘" as held, in that order, then the key's name: a symbol or "Space"
    // for the keys that type none, else the characters the key types without
    // modifiers, upper-cased, or "?" when it types none.
    static QString displayString(int keyCode, int carbonModifiers, const QString &characters);

private:
    GlobalHotKeyRegistry &m_registry;
    Defaults &m_defaults;
};

} // namespace tamo
