#pragma once

#include "settings/SettingsPage.h"

#include <QIcon>

namespace tamo {

// A page's sidebar tile: its symbol in white on a rounded square filled with
// a gradient of the page's colour.
QIcon settingsPageIcon(SettingsPage page);

} // namespace tamo
