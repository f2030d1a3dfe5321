#pragma once

#include "transfer/PasteItems.h"

#include <QByteArrayView>

namespace tamo::PasteImporter {

// Items from a binary property list: an array of {"dataByType": {type:
// data or Base64 string}}. Only the captured types' values are read, in
// place from the object table, never the whole list: a text is cut where a
// clip's text ends (and listed in `cutTypes` when of the first item).
// Nothing for a list that is malformed, holds a cycle, nests or unfolds
// beyond PropertyListShape's limits, or has another shape.
std::optional<QList<PasteboardItem>> itemsFromPropertyList(QByteArrayView bytes, CutTypes *cutTypes);

} // namespace tamo::PasteImporter
