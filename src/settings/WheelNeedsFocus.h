#pragma once

class QWidget;

namespace tamo {

// As in the desktop's own settings, the wheel over a slider or pop-up
// scrolls the page under the pointer; the control takes the wheel only once
// it was clicked or tabbed to (it has the focus). Neither does the wheel
// give it the focus.
void takeWheelOnlyWithFocus(QWidget *control);

} // namespace tamo
