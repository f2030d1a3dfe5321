#pragma once

#include <QString>

namespace tamo {

enum class PasteKeystroke {
    ControlV,
    ControlShiftV, // most terminals: there Ctrl+V sends a control character
    ControlAltV,   // rxvt-unicode
    ShiftInsert,   // xterm and gvim, whose only paste key reads PRIMARY
    ControlY,      // Emacs: yank, which reads the clipboard first
};

// The keystroke that pastes the clipboard in a window, by its WM_CLASS
// instance and class: Ctrl+V unless the app is known to paste otherwise.
PasteKeystroke pasteKeystrokeForWindowClass(const QString &instance, const QString &className);

// The keystroke pastes PRIMARY, so PRIMARY must hold what is to be pasted.
inline bool pastesPrimary(PasteKeystroke keystroke)
{
    return keystroke == PasteKeystroke::ShiftInsert;
}

} // namespace tamo
