#pragma once

#include <functional>

class QWidget;

namespace tamo {

// Ctrl+Q quits from this window as it does from the app menu, which shows
// those keys.
void addQuitShortcut(QWidget &window);

// What those keys run: the app's own Quit, which first names copies still
// waiting for room; an empty action quits at once.
void setQuitAction(std::function<void()> quit);

} // namespace tamo
