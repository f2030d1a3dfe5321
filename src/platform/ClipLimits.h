#pragma once

#include <QtGlobal>

// What one clip may hold, however it arrives: a copy, a pinboard file,
// another machine, the other clipboard manager's history. Capture keeps no
// more than this, and every reader of what TamoCove writes takes this much
// back, so that nothing written here is refused here.
namespace tamo::ClipLimits {

// A clip's text, in UTF-16 units: 16 MB of plain text. A longer one keeps
// its start, titled as cut.
inline constexpr qsizetype largestText = 16 * 1024 * 1024;

// One type of a copy, in bytes, as the owning app sends it; a larger one is
// left out. So no clip's rich text or image is larger either.
inline constexpr qsizetype largestValue = 256 * 1024 * 1024;
inline constexpr qsizetype largestRichText = largestValue;
inline constexpr qsizetype largestImage = largestValue;
// An image's pixels: Qt's default allocation limit (128 MB of 32-bit
// pixels), checked from its header before it is decoded. One row may hold
// them all.
inline constexpr qint64 largestImagePixels = 32 * 1024 * 1024;

// A copied file list: its first mostFiles files, read from no more than
// largestFileList bytes of the list. No path is longer than longestPath
// (PATH_MAX).
inline constexpr qsizetype mostFiles = 10'000;
inline constexpr qsizetype largestFileList = 16 * 1024 * 1024;
inline constexpr qsizetype longestPath = 4096;

// Images and rich text larger than this stay on this machine: no device
// writes a larger one into the sync folder, and none reads one.
inline constexpr qsizetype largestSyncedValue = 10 * 1024 * 1024;

} // namespace tamo::ClipLimits
