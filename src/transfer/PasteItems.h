#pragma once

#include "model/ClipDraft.h"
#include "platform/ClipLimits.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <array>
#include <optional>

// How the other clipboard manager ("Paste") stored what was on the
// clipboard, and how that becomes a capture. Everything it reads comes from
// someone else's files, so every decoder here is strict and bounded: a value
// that does not decode exactly gives nothing, and no value grows past
// maxValueBytes.
namespace tamo::PasteImporter {

// One clipboard item: its types and their bytes.
using PasteboardItem = QMap<QString, QByteArray>;

// The most one stored value, one external file or everything one clip's
// items decode to may hold.
inline constexpr qsizetype maxValueBytes = ClipLimits::largestValue;

// A pasteboard-data column: marker 1 and the bytes, or marker 2 and the name
// of a file in `externalFolder`. A name that is not one plain file name
// gives nothing: the database never chooses which of the user's files to read.
// Inline bytes are not copied: they are valid while `stored` is.
std::optional<QByteArray> resolveStoredData(const QByteArray &stored, const QString &externalFolder);

// The older generation: a keyed archive of "PasteCore.PasteboardItem" objects.
std::optional<QList<PasteboardItem>> unarchiveItems(const QByteArray &bytes);

// The types of the first item whose texts were cut where a clip's text
// ends, the rest of them never read.
using CutTypes = QSet<QString>;

// The newer generation: a property list, LZFSE-compressed property list or
// raw-DEFLATE-compressed JSON array of {"dataByType": {type: bytes}}. Texts
// are read up to the longest a clip keeps, no further.
std::optional<QList<PasteboardItem>> rawPasteboardItems(const QByteArray &bytes, CutTypes *cutTypes = nullptr);

// The text of an item: the first text type it holds decides.
std::optional<QString> plainText(const PasteboardItem &item);

// Files in any item, else the first item's text, else its PNG or TIFF. A
// text of one of `cutTypes` is titled as the start of a longer one.
std::optional<ClipDraft> makeDraft(const QList<PasteboardItem> &items, const std::optional<QString> &bundleID,
                                   const std::optional<QString> &appName, const CutTypes &cutTypes = {});

// A newer-generation list's colour: {"colorCode": 0xRRGGBB}.
std::optional<std::array<double, 3>> listColor(const std::optional<QByteArray> &attributes);

// 0xRRGGBB as red, green and blue from 0 to 1.
std::array<double, 3> unpackColor(qint64 code);

} // namespace tamo::PasteImporter
