#pragma once

#include "settings/SettingsPages.h"

namespace tamo {

struct SettingsEnvironment;

// Every page of the settings window, each made from the environment.
SettingsPages standardSettingsPages(SettingsEnvironment &environment);

} // namespace tamo
