#pragma once

#include "model/ClipDraft.h"

#include <optional>

namespace tamo {

class PasteboardCopy;
struct AppInfo;

// What a kept copy becomes, by the first of these it holds: its local files,
// its text (with its RTF, else its HTML) when there is more than white space, its PNG, its
// TIFF; from a photo library app, its image comes before all else. Nothing
// when it holds none of them, or an image that cannot be read. Decoding an
// image is slow: runs off the main thread.
namespace CaptureDrafts {

// A longer copied text keeps its first this many characters (16 MB of plain
// text), titled with what was cut, so one clip never holds more.
inline constexpr qsizetype largestText = ClipDraft::largestText;

std::optional<ClipDraft> fromCopy(PasteboardCopy &copy, const AppInfo &source);

// Reads what fromCopy will use of the copy, without making the draft.
void readAhead(PasteboardCopy &copy);

} // namespace CaptureDrafts

} // namespace tamo
