#pragma once

#include <QString>

namespace tamo::testing {
class FakeCompositor;
}

namespace tamo::sheets {

class Scene;

// The drawer and the menu-bar panel in their main states, over a wallpaper,
// with a compositor's transparency and without:
// drawer-<state>-<theme>-<glass|opaque>.png, menubar-<state>-… in the folder.
void writePanelSheets(Scene &full, Scene &empty, testing::FakeCompositor &compositor, const QString &theme,
                      const QString &folder);

} // namespace tamo::sheets
