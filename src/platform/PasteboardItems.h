#pragma once

#include "platform/Pasteboard.h"

namespace tamo {

// The one item that stands for several on a clipboard that holds only one:
// the plain texts joined by newlines, every file URL in one list, and any
// privacy marker of any item. Types that cannot be joined (RTF, images and
// the rest) are dropped; when nothing could be joined (images only, say), the
// first item stands as it is, with the markers of all. A single item is
// returned unchanged; no items give an empty one.
PasteboardItem mergedPasteboardItem(const QList<PasteboardItem> &items);

} // namespace tamo
