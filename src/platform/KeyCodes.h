#pragma once

#include <QtGlobal>
#include <Qt>

#include <optional>
#include <span>

// Shortcuts are stored as macOS virtual key codes with Carbon modifier masks.
// This is the one table that translates them to Qt keys and X keysyms; no
// other code knows X key numbers.
namespace tamo::KeyCodes {

// Carbon modifier masks.
enum CarbonModifier : int {
    CommandKey = 256,
    ShiftKey = 512,
    OptionKey = 2048,
    ControlKey = 4096,
};
inline constexpr int AllCarbonModifiers = CommandKey | ShiftKey | OptionKey | ControlKey;

// Virtual key codes that code above this layer names.
enum VirtualKey : int {
    KeyZ = 6,
    KeyV = 9,
    Key1 = 18,
    Return = 36,
    Tab = 48,
    Space = 49,
    Delete = 51,
    Escape = 53,
    LeftArrow = 123,
    RightArrow = 124,
    DownArrow = 125,
    UpArrow = 126,
};

struct Key
{
    int keyCode;
    Qt::Key qtKey;
    quint32 keysym;
    bool keypad; // Qt reports it with Qt::KeypadModifier
};

// Every key that has a virtual key code, one row per key.
std::span<const Key> keys();

// Qt::Key_unknown when the code names no key.
Qt::Key toQtKey(int keyCode);
// Keypad keys only match with Qt::KeypadModifier. Shifted symbols of the US
// layout ('!' for 1, '_' for -, Backtab for Tab) resolve to their key.
std::optional<int> fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers = {});

// 0 (NoSymbol) when the code names no key.
quint32 toKeysym(int keyCode);
// Upper-case letters and US shifted symbols resolve to their key.
std::optional<int> fromKeysym(quint32 keysym);

// ⌘ = Ctrl, ⌃ = Meta (Super), ⌥ = Alt, ⇧ = Shift. Other bits are ignored.
Qt::KeyboardModifiers toQtModifiers(int carbonModifiers);
int fromQtModifiers(Qt::KeyboardModifiers modifiers);

// Alt and Super sit on whichever ModN the server's modifier map says; the
// defaults are the usual Mod1 and Mod4.
struct XModifierMasks
{
    quint16 alt = 0x08;
    quint16 super = 0x40;
};
inline constexpr quint16 XShiftMask = 0x01;
inline constexpr quint16 XControlMask = 0x04;

quint16 toXModifiers(int carbonModifiers, const XModifierMasks &masks = {});
int fromXModifiers(quint16 state, const XModifierMasks &masks = {});

} // namespace tamo::KeyCodes
