#pragma once

#include "cards/ThumbnailCache.h"

class QMenu;

namespace tamo {

class AppModel;
class Clock;
class Defaults;
class MenuBarClipsController;
class MenuBarClipsView;

// The menu-bar panel's content for one model: hands the model to the
// controller and fills its panel with the view and what its cards share.
// Made after the model and gone before it, like the drawer's assembly.
class MenuBarAssembly
{
public:
    MenuBarAssembly(MenuBarClipsController &controller, AppModel &model, Defaults &defaults, const Clock &clock);
    ~MenuBarAssembly();

    MenuBarAssembly(const MenuBarAssembly &) = delete;
    MenuBarAssembly &operator=(const MenuBarAssembly &) = delete;

    // The app menu the status item shows on a right click.
    void setAppMenu(QMenu *menu);

private:
    MenuBarClipsController &m_controller;
    ThumbnailCache m_thumbnails;
};

} // namespace tamo
