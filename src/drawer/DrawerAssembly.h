#pragma once

#include "cards/ThumbnailCache.h"

namespace tamo {

class AppModel;
class Clock;
class Defaults;
class PanelController;
class PanelView;
class PreviewPanelView;

// The drawer's content for one model: hands the model to the panels and
// fills them with its views, the row of cards and the preview, together
// with what the cards share. The panels exist before the model (the model is
// made with them); this comes after it and must go before it, taking the
// views along, since they work on the model to the last.
class DrawerAssembly
{
public:
    DrawerAssembly(PanelController &panel, AppModel &model, Defaults &defaults, const Clock &clock);
    ~DrawerAssembly();

    DrawerAssembly(const DrawerAssembly &) = delete;
    DrawerAssembly &operator=(const DrawerAssembly &) = delete;

    PanelView &view() const { return *m_view; }
    PreviewPanelView &preview() const { return *m_preview; }

private:
    PanelController &m_panel;
    ThumbnailCache m_thumbnails;
    PanelView *m_view;          // owned by the strip panel
    PreviewPanelView *m_preview; // owned by the preview panel
};

} // namespace tamo
