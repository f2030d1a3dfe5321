#pragma once

#include "app/x11/X11AppFixture.h"

#include "drawer/DrawerAssembly.h"
#include "drawer/PanelController.h"
#include "menubar/MenuBarAssembly.h"
#include "menubar/MenuBarClipsController.h"
#include "model/DefaultSettings.h"

#include <memory>

namespace tamo::testing {

// The drawer, and the menu-bar panel where a test asks for it, assembled
// over the app's core on the real X server as main() does it.
class X11DrawerFixture : public X11AppFixture
{
protected:
    X11DrawerFixture() { registerDefaultSettings(defaults); }

    void TearDown() override
    {
        // Views go before the model they work on, controllers after it.
        menuBar.reset();
        drawer.reset();
        model.reset();
        menuBarClips.reset();
        panel.reset();
    }

    // Builds and starts the app; the menu-bar panel only with the status
    // item and click shield it is to use.
    void assemble(StatusItem *statusItem = nullptr, ClickShield *clickShield = nullptr)
    {
        panel = std::make_unique<PanelController>(defaults, platform.screens());
        if (statusItem) {
            menuBarClips = std::make_unique<MenuBarClipsController>(defaults, platform.screens(), *statusItem, *panel,
                                                                    *clickShield, clock);
        }
        model = makeModel(*panel, menuBarClips.get());
        drawer = std::make_unique<DrawerAssembly>(*panel, *model, defaults, clock);
        if (menuBarClips)
            menuBar = std::make_unique<MenuBarAssembly>(*menuBarClips, *model, defaults, clock);
        start(*model);
    }

    std::unique_ptr<PanelController> panel;
    std::unique_ptr<MenuBarClipsController> menuBarClips;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<DrawerAssembly> drawer;
    std::unique_ptr<MenuBarAssembly> menuBar;
};

} // namespace tamo::testing
