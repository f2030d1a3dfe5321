#include "menubar/MenuBarAssembly.h"

#include "app/AppModel.h"
#include "cards/CardContext.h"
#include "menubar/MenuBarClipsController.h"
#include "menubar/MenuBarClipsView.h"
#include "model/ModelContainer.h"

namespace tamo {

MenuBarAssembly::MenuBarAssembly(MenuBarClipsController &controller, AppModel &model, Defaults &defaults,
                                 const Clock &clock)
    : m_controller(controller)
{
    controller.setModel(&model);
    const CardContext cards{model.icons(), m_thumbnails, defaults, clock, &model, true};
    m_thumbnails.forgetClipsRemovedIn(model.container().mainContext());
    MenuBarClipsController *panel = &controller;
    const MenuBarClipsView::Actions actions{
        [panel] { panel->hide(true); },
        [panel] { panel->openDrawer(); },
        [panel] { panel->showAppMenu(); },
        [panel](const QList<ClipItemPtr> &clips) { panel->pasteByClick(clips); },
    };
    controller.setContent(new MenuBarClipsView(model, cards, controller.state(), actions));
}

MenuBarAssembly::~MenuBarAssembly()
{
    // The view works on the model to the last; it goes before the model.
    m_controller.setContent(nullptr);
    m_controller.setModel(nullptr);
}

void MenuBarAssembly::setAppMenu(QMenu *menu)
{
    m_controller.setAppMenu(menu);
}

} // namespace tamo
