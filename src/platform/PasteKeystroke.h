#pragma once

#include <QString>

namespace tamo {

enum class PasteKeystroke {
    ControlV,
    ControlShiftV, // most terminals: there Ctrl+V sends a control character
    ControlAltV,   // rxvt-unicode
    ShiftInsert,   // terminals whose only paste key reads PRIMARY
};

// The keystroke that pastes the clipboard in a window, by its WM_CLASS
// instance and class.
PasteKeystroke pasteKeystrokeForWindowClass(const QString &instance, const QString &className);

// The keystroke pastes PRIMARY, so PRIMARY must hold what is to be pasted.
inline bool pastesPrimary(PasteKeystroke keystroke)
{
    return keystroke == PasteKeystroke::ShiftInsert;
}

} // namespace tamo
