#pragma once

#include "model/ClipItem.h"
#include "platform/Pasteboard.h"

#include <optional>

namespace tamo {

class ClipLibrary;

// Puts clips on the pasteboard for pasting elsewhere.
class PasteboardWriter
{
public:
    PasteboardWriter(Pasteboard &pasteboard, ClipLibrary &library);

    // Replaces the pasteboard's contents with the clips, in order. Plain
    // text leaves rich text out; images and files are written as they are.
    // Returns the change count of the write, so capture can tell it from a
    // copy; nothing when nothing was written (the pasteboard then keeps what
    // it had).
    [[nodiscard]] std::optional<int> write(const QList<ClipItemPtr> &clips, bool plainText);

    // One item per clip, in order; a clip with nothing to offer (an image
    // whose bytes are gone) gives none.
    QList<PasteboardItem> pasteboardItems(const QList<ClipItemPtr> &clips, bool plainText) const;

private:
    PasteboardItem pasteboardItem(const ClipItem &clip, bool plainText) const;

    Pasteboard &m_pasteboard;
    ClipLibrary &m_library;
};

} // namespace tamo
