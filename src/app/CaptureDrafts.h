#pragma once

#include "model/ClipDraft.h"

#include <variant>

namespace tamo {

class PasteboardCopy;
struct AppInfo;

// What a kept copy becomes, by the first of these it holds: its local files,
// its text (with its RTF) when there is more than white space, its PNG, its
// TIFF; from a photo library app, its image comes before all else. Files and
// text make their draft at once; an image is only read here and decoded
// later, off the main thread.
namespace CaptureDrafts {

// An image copy, read but not yet decoded.
struct PendingImage
{
    QByteArray bytes;
    std::optional<QString> bundleID;
    std::optional<QString> appName;

    // Nothing when the bytes are no readable image. Slow for a large image;
    // safe on any thread.
    std::optional<ClipDraft> decode() const;
};

// std::monostate: the copy holds nothing to keep.
using Capture = std::variant<std::monostate, ClipDraft, PendingImage>;

Capture fromCopy(PasteboardCopy &copy, const AppInfo &source);

} // namespace CaptureDrafts

} // namespace tamo
