#pragma once

#include <QFlags>
#include <QString>

class QKeyEvent;

namespace tamo {

// One key going down or repeating, as the drawer's key map reads it: what
// the key is, what it types, and the modifiers in the app's own vocabulary.
struct KeyPress
{
    enum class Key {
        other, // any key not named here; `text` says what it types, if anything
        returnKey,
        escape,
        tab,
        backTab,
        deleteBackward,
        deleteForward,
        left,
        right,
        up,
        down,
        space,
    };

    // ⌘ = Ctrl, ⇧ = Shift, ⌥ = Alt, ⌃ = Meta (Super).
    enum class Modifier {
        command = 0x1,
        shift = 0x2,
        option = 0x4,
        control = 0x8,
    };
    Q_DECLARE_FLAGS(Modifiers, Modifier)

    Key key = Key::other;
    // What the key types with its modifiers. Under ⌘ it is the key's own
    // character (lower case unless ⇧ is held), so ⌘C reads "c" on any layout.
    QString text{};
    Modifiers modifiers{};
    bool isRepeat = false;
    // 1 to 9 for a digit key, read without ⇧ (⇧2 types "@" on US layouts);
    // 0 for any other key.
    int digit = 0;

    bool has(Modifier modifier) const { return modifiers.testFlag(modifier); }

    bool operator==(const KeyPress &) const = default;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(KeyPress::Modifiers)

// Classifies by Qt::Key, never by text: on X11 the Delete key types U+007F,
// and Ctrl turns letters into control characters. Keypad Enter is Return.
KeyPress fromQKeyEvent(const QKeyEvent &event);

} // namespace tamo
