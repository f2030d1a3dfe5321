#pragma once

#include "model/Pinboard.h"

#include <functional>

class QMenu;
class QWidget;

namespace tamo {

class AppModel;

// A pinboard's context menu, for the drawer's tabs and the menu-bar panel's
// chips alike: Rename, the Color picker checked at the pinboard's colour, and
// Delete Pinboard. The caller says what renaming and deleting mean where it
// shows; a colour is set at once. Deleted when closed.
struct PinboardMenu
{
    std::function<void()> rename;
    std::function<void()> remove;
    std::function<void()> recoloured; // after the colour changed

    QMenu *make(AppModel &model, const PinboardPtr &board, QWidget *parent) const;
};

} // namespace tamo
