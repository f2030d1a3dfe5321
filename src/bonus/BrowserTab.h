#pragma once

#include "platform/AccessibleTree.h"

#include <QString>

#include <optional>

namespace tamo {

// One tab of a browser or file-manager window, read through its accessibility tree.
struct BrowserTab
{
    AccessibleRef element; // the tab itself, which a press selects
    QString title;
    bool isSelected = false;
    bool isFolder = false;       // a tab of a file manager
    std::optional<QString> host; // lower case; web tabs only

    bool operator==(const BrowserTab &) const = default;
};

} // namespace tamo
