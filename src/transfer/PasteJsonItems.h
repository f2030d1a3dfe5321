#pragma once

#include "transfer/PasteItems.h"

#include <QByteArrayView>

#include <functional>

namespace tamo::PasteImporter {

// The most of a row's JSON that is inflated: room for the longest text a
// clip keeps, as Base64 of UTF-8 (64 MB), with the item's other types beside it.
inline constexpr qsizetype maxJsonBytes = 72 * 1024 * 1024;

// Items from raw-DEFLATE JSON, read as it inflates without building the
// document: only the captured types' values are kept. The read stops at the
// first text that reaches the longest a clip keeps, or once maxJsonBytes
// have been inflated; the items read by then are kept, the value being read
// only if it is a text (cut; listed in `cutTypes` when of the first item).
// Nothing for JSON that is malformed before that, damaged DEFLATE, or
// anything but a non-empty array of objects.
std::optional<QList<PasteboardItem>> itemsFromDeflatedJson(const QByteArray &bytes, CutTypes *cutTypes);

// The compressed bytes a chunk at a time: an empty chunk once all were
// handed out, nothing when they could not be read. A chunk is valid until
// the next is asked for.
using CompressedChunks = std::function<std::optional<QByteArrayView>()>;
// The same, for a value too large to hold: read as it is inflated.
std::optional<QList<PasteboardItem>> itemsFromDeflatedJson(const CompressedChunks &chunks, CutTypes *cutTypes);

} // namespace tamo::PasteImporter
