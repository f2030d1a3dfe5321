#pragma once

#include "drawer/DrawerKeys.h"
#include "drawer/KeyPress.h"

#include <optional>

namespace tamo {

class MenuBarViewState;

// The menu-bar panel's key maps. The card grid and the search field share
// the ⌘ handlers; each returns nothing when the key is not its own.
namespace menubarkeys {

std::optional<KeyResult> quickPasteKey(MenuBarViewState &state, const KeyPress &press);
std::optional<KeyResult> editKey(MenuBarViewState &state, const KeyPress &press, bool fromSearchField);
std::optional<KeyResult> previewKey(MenuBarViewState &state, const KeyPress &press);
// ⌘R: the current clip's title field opens in the panel.
std::optional<KeyResult> renameKey(MenuBarViewState &state, const KeyPress &press);

KeyResult gridKeyPress(MenuBarViewState &state, const KeyPress &press);
KeyResult searchKeyPress(MenuBarViewState &state, const KeyPress &press);

} // namespace menubarkeys

} // namespace tamo
