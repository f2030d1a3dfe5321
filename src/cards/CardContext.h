#pragma once

namespace tamo {

class AppIcons;
class AppModel;
class Clock;
class Defaults;
class ThumbnailCache;

// What a panel hands every card it builds. The panel owns all of it and
// outlives its cards.
struct CardContext
{
    AppIcons &icons;
    ThumbnailCache &thumbnails;
    Defaults &defaults;
    const Clock &clock;
    // Rename, icon picker and saving; cards drawn outside the app (samples,
    // settings previews of an unsaved clip) may have none.
    AppModel *model = nullptr;
    // The menu-bar panel sets it for all its cards: a compact header, and the
    // rename field opens only for renames started there.
    bool isInMenuBarPanel = false;
};

} // namespace tamo
