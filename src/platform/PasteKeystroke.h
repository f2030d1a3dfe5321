#pragma once

#include <QString>

namespace tamo {

enum class PasteKeystroke {
    ControlV,
    ControlShiftV, // terminals: there Ctrl+V sends a control character
};

// The keystroke that pastes in a window, by its WM_CLASS instance and class.
PasteKeystroke pasteKeystrokeForWindowClass(const QString &instance, const QString &className);

} // namespace tamo
