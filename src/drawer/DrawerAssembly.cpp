#include "drawer/DrawerAssembly.h"

#include "app/AppModel.h"
#include "cards/CardContext.h"
#include "cards/PreviewPanelView.h"
#include "drawer/PanelController.h"
#include "drawer/PanelView.h"
#include "model/ModelContainer.h"

namespace tamo {

DrawerAssembly::DrawerAssembly(PanelController &panel, AppModel &model, Defaults &defaults, const Clock &clock)
    : m_panel(panel)
{
    const CardContext cards{model.icons(), m_thumbnails, defaults, clock, &model};
    m_thumbnails.forgetClipsRemovedIn(model.container().mainContext());
    m_panel.setModel(&model);
    m_view = new PanelView(model, cards);
    m_panel.setStripContent(m_view);
    m_preview = new PreviewPanelView(model, clock);
    m_panel.setPreviewContent(m_preview);
}

DrawerAssembly::~DrawerAssembly()
{
    m_panel.setStripContent(nullptr);
    m_panel.setPreviewContent(nullptr);
    m_panel.setModel(nullptr);
}

} // namespace tamo
