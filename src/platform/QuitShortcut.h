#pragma once

class QWidget;

namespace tamo {

// Ctrl+Q quits from this window as it does from the app menu, which shows
// those keys.
void addQuitShortcut(QWidget &window);

} // namespace tamo
