#include "platform/KeyCodes.h"

#include <algorithm>
#include <array>

namespace tamo::KeyCodes {

namespace {

// Keysym numbers are those of X11/keysymdef.h, written out so that this
// file stays free of X headers.
constexpr std::array kKeys = std::to_array<Key>({
    {0, Qt::Key_A, 0x61, false},
    {1, Qt::Key_S, 0x73, false},
    {2, Qt::Key_D, 0x64, false},
    {3, Qt::Key_F, 0x66, false},
    {4, Qt::Key_H, 0x68, false},
    {5, Qt::Key_G, 0x67, false},
    {6, Qt::Key_Z, 0x7a, false},
    {7, Qt::Key_X, 0x78, false},
    {8, Qt::Key_C, 0x63, false},
    {9, Qt::Key_V, 0x76, false},
    {11, Qt::Key_B, 0x62, false},
    {12, Qt::Key_Q, 0x71, false},
    {13, Qt::Key_W, 0x77, false},
    {14, Qt::Key_E, 0x65, false},
    {15, Qt::Key_R, 0x72, false},
    {16, Qt::Key_Y, 0x79, false},
    {17, Qt::Key_T, 0x74, false},
    {18, Qt::Key_1, 0x31, false},
    {19, Qt::Key_2, 0x32, false},
    {20, Qt::Key_3, 0x33, false},
    {21, Qt::Key_4, 0x34, false},
    {22, Qt::Key_6, 0x36, false},
    {23, Qt::Key_5, 0x35, false},
    {24, Qt::Key_Equal, 0x3d, false},
    {25, Qt::Key_9, 0x39, false},
    {26, Qt::Key_7, 0x37, false},
    {27, Qt::Key_Minus, 0x2d, false},
    {28, Qt::Key_8, 0x38, false},
    {29, Qt::Key_0, 0x30, false},
    {30, Qt::Key_BracketRight, 0x5d, false},
    {31, Qt::Key_O, 0x6f, false},
    {32, Qt::Key_U, 0x75, false},
    {33, Qt::Key_BracketLeft, 0x5b, false},
    {34, Qt::Key_I, 0x69, false},
    {35, Qt::Key_P, 0x70, false},
    {36, Qt::Key_Return, 0xff0d, false},
    {37, Qt::Key_L, 0x6c, false},
    {38, Qt::Key_J, 0x6a, false},
    {39, Qt::Key_Apostrophe, 0x27, false},
    {40, Qt::Key_K, 0x6b, false},
    {41, Qt::Key_Semicolon, 0x3b, false},
    {42, Qt::Key_Backslash, 0x5c, false},
    {43, Qt::Key_Comma, 0x2c, false},
    {44, Qt::Key_Slash, 0x2f, false},
    {45, Qt::Key_N, 0x6e, false},
    {46, Qt::Key_M, 0x6d, false},
    {47, Qt::Key_Period, 0x2e, false},
    {48, Qt::Key_Tab, 0xff09, false},
    {49, Qt::Key_Space, 0x20, false},
    {50, Qt::Key_QuoteLeft, 0x60, false},
    {51, Qt::Key_Backspace, 0xff08, false}, // the Mac "delete" key
    {53, Qt::Key_Escape, 0xff1b, false},
    {64, Qt::Key_F17, 0xffce, false},
    {65, Qt::Key_Period, 0xffae, true},
    {67, Qt::Key_Asterisk, 0xffaa, true},
    {69, Qt::Key_Plus, 0xffab, true},
    {71, Qt::Key_Clear, 0xff0b, true},
    {75, Qt::Key_Slash, 0xffaf, true},
    {76, Qt::Key_Enter, 0xff8d, true},
    {78, Qt::Key_Minus, 0xffad, true},
    {79, Qt::Key_F18, 0xffcf, false},
    {80, Qt::Key_F19, 0xffd0, false},
    {81, Qt::Key_Equal, 0xffbd, true},
    {82, Qt::Key_0, 0xffb0, true},
    {83, Qt::Key_1, 0xffb1, true},
    {84, Qt::Key_2, 0xffb2, true},
    {85, Qt::Key_3, 0xffb3, true},
    {86, Qt::Key_4, 0xffb4, true},
    {87, Qt::Key_5, 0xffb5, true},
    {88, Qt::Key_6, 0xffb6, true},
    {89, Qt::Key_7, 0xffb7, true},
    {90, Qt::Key_F20, 0xffd1, false},
    {91, Qt::Key_8, 0xffb8, true},
    {92, Qt::Key_9, 0xffb9, true},
    {96, Qt::Key_F5, 0xffc2, false},
    {97, Qt::Key_F6, 0xffc3, false},
    {98, Qt::Key_F7, 0xffc4, false},
    {99, Qt::Key_F3, 0xffc0, false},
    {100, Qt::Key_F8, 0xffc5, false},
    {101, Qt::Key_F9, 0xffc6, false},
    {103, Qt::Key_F11, 0xffc8, false},
    {105, Qt::Key_F13, 0xffca, false},
    {106, Qt::Key_F16, 0xffcd, false},
    {107, Qt::Key_F14, 0xffcb, false},
    {109, Qt::Key_F10, 0xffc7, false},
    {111, Qt::Key_F12, 0xffc9, false},
    {113, Qt::Key_F15, 0xffcc, false},
    {114, Qt::Key_Help, 0xff6a, false},
    {115, Qt::Key_Home, 0xff50, false},
    {116, Qt::Key_PageUp, 0xff55, false},
    {117, Qt::Key_Delete, 0xffff, false}, // forward delete
    {118, Qt::Key_F4, 0xffc1, false},
    {119, Qt::Key_End, 0xff57, false},
    {120, Qt::Key_F2, 0xffbf, false},
    {121, Qt::Key_PageDown, 0xff56, false},
    {122, Qt::Key_F1, 0xffbe, false},
    {123, Qt::Key_Left, 0xff51, false},
    {124, Qt::Key_Right, 0xff53, false},
    {125, Qt::Key_Down, 0xff54, false},
    {126, Qt::Key_Up, 0xff52, false},
});

// What a key types with Shift on a US layout. Qt reports Shift+1 as
// Key_Exclam, and the keysym is "exclam"; both name the same physical key.
// Latin-1 keysyms and Qt keys share their numbers.
struct ShiftedSymbol
{
    char16_t symbol;
    int keyCode;
};

constexpr std::array kShiftedSymbols = std::to_array<ShiftedSymbol>({
    {u'!', 18}, {u'@', 19}, {u'#', 20}, {u'$', 21}, {u'%', 23}, {u'^', 22}, {u'&', 26},
    {u'*', 28}, {u'(', 25}, {u')', 29}, {u'_', 27}, {u'+', 24}, {u'{', 33}, {u'}', 30},
    {u'|', 42}, {u':', 41}, {u'"', 39}, {u'<', 43}, {u'>', 47}, {u'?', 44}, {u'~', 50},
});

const Key *findByCode(int keyCode)
{
    const auto it = std::find_if(kKeys.begin(), kKeys.end(),
                                 [keyCode](const Key &key) { return key.keyCode == keyCode; });
    return it == kKeys.end() ? nullptr : &*it;
}

std::optional<int> shiftedSymbolKey(quint32 symbol)
{
    const auto it = std::find_if(kShiftedSymbols.begin(), kShiftedSymbols.end(),
                                 [symbol](const ShiftedSymbol &s) { return s.symbol == symbol; });
    if (it == kShiftedSymbols.end())
        return std::nullopt;
    return it->keyCode;
}

} // namespace

std::span<const Key> keys()
{
    return kKeys;
}

Qt::Key toQtKey(int keyCode)
{
    const Key *key = findByCode(keyCode);
    return key ? key->qtKey : Qt::Key_unknown;
}

std::optional<int> fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    for (const Key &key : kKeys) {
        if (key.qtKey == qtKey && key.keypad == keypad)
            return key.keyCode;
    }
    if (qtKey == Qt::Key_Backtab)
        return Tab;
    if (keypad)
        return std::nullopt;
    return shiftedSymbolKey(quint32(qtKey));
}

quint32 toKeysym(int keyCode)
{
    const Key *key = findByCode(keyCode);
    return key ? key->keysym : 0;
}

std::optional<int> fromKeysym(quint32 keysym)
{
    if (keysym >= 'A' && keysym <= 'Z')
        keysym += 'a' - 'A';
    for (const Key &key : kKeys) {
        if (key.keysym == keysym)
            return key.keyCode;
    }
    constexpr quint32 isoLeftTab = 0xfe20; // what X reports for Shift+Tab
    if (keysym == isoLeftTab)
        return Tab;
    return shiftedSymbolKey(keysym);
}

namespace {

// One row per modifier: its Carbon bit, its Qt flag and its X mask.
struct ModifierBits
{
    int carbon;
    Qt::KeyboardModifier qt;
    quint16 x;
};

std::array<ModifierBits, 4> modifierTable(const XModifierMasks &masks = {})
{
    return {{{CommandKey, Qt::ControlModifier, XControlMask},
             {ShiftKey, Qt::ShiftModifier, XShiftMask},
             {OptionKey, Qt::AltModifier, masks.alt},
             {ControlKey, Qt::MetaModifier, masks.super}}};
}

} // namespace

Qt::KeyboardModifiers toQtModifiers(int carbonModifiers)
{
    Qt::KeyboardModifiers modifiers;
    for (const ModifierBits &bits : modifierTable())
        modifiers.setFlag(bits.qt, carbonModifiers & bits.carbon);
    return modifiers;
}

int fromQtModifiers(Qt::KeyboardModifiers modifiers)
{
    int carbon = 0;
    for (const ModifierBits &bits : modifierTable()) {
        if (modifiers & bits.qt)
            carbon |= bits.carbon;
    }
    return carbon;
}

quint16 toXModifiers(int carbonModifiers, const XModifierMasks &masks)
{
    quint16 state = 0;
    for (const ModifierBits &bits : modifierTable(masks)) {
        if (carbonModifiers & bits.carbon)
            state |= bits.x;
    }
    return state;
}

int fromXModifiers(quint16 state, const XModifierMasks &masks)
{
    int carbon = 0;
    for (const ModifierBits &bits : modifierTable(masks)) {
        if (state & bits.x)
            carbon |= bits.carbon;
    }
    return carbon;
}

} // namespace tamo::KeyCodes
