#pragma once

#include <QString>

namespace tamo::sheets {

class Scene;

// Each page of the settings window as the window shows it, and whole, below
// the fold too: settings-<page>-<theme>.png and settings-<page>-whole-<theme>.png.
void writeSettingsSheets(Scene &scene, const QString &theme, const QString &folder);

} // namespace tamo::sheets
