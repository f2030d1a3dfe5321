#pragma once

#include "model/ClipKind.h"
#include "platform/ClipLimits.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tamo {

// An unsaved capture, handed from the clipboard, the importers and the
// welcome clips to the store.
struct ClipDraft
{
    ClipKind kind = ClipKind::text;
    std::optional<QString> text;
    std::optional<QByteArray> rtfData; // rich text: RTF, or HTML where the copy had no RTF
    std::optional<QByteArray> imageData;
    int imageWidth = 0;
    int imageHeight = 0;
    QStringList filePaths;
    std::optional<QString> sourceBundleID;
    std::optional<QString> sourceAppName;
    std::optional<QString> title;
    // makeContentHash of the above, when it was taken where the draft was
    // built: hashing a large text is kept off the main thread that saves it.
    std::optional<QString> contentHash;

    // A text, link or colour draft, by what the text holds; the text is kept
    // exactly as copied.
    static ClipDraft fromText(QString text, std::optional<QByteArray> rtf = {},
                              std::optional<QString> bundleID = {}, std::optional<QString> appName = {});

    // The longest text a clip holds.
    static constexpr qsizetype largestText = ClipLimits::largestText;
    // fromText for a text of any length: a longer one keeps its first
    // largestText characters, titled with what was cut, and no RTF (which
    // would describe the whole).
    static ClipDraft fromCappedText(const QString &text, std::optional<QByteArray> rtf = {},
                                    std::optional<QString> bundleID = {}, std::optional<QString> appName = {});
    // The start of a text whose end was never read, at most largestText
    // characters: titled as cut from a longer one, without RTF.
    static ClipDraft fromCutText(QString text, std::optional<QString> bundleID = {},
                                 std::optional<QString> appName = {});
    // fromCappedText for a text read only as far as it is kept: `start`
    // holds its first largestText characters, or all of it when it is no
    // longer, and `length` says how long the whole is.
    static ClipDraft fromTextStart(QString start, qsizetype length, std::optional<QByteArray> rtf = {},
                                   std::optional<QString> bundleID = {}, std::optional<QString> appName = {});

    // A file draft of stored paths (StoredFilePath). One of a list the copy
    // cut short is titled as such.
    static ClipDraft fromFiles(QStringList paths, bool cut, std::optional<QString> bundleID = {},
                               std::optional<QString> appName = {});

    // An image draft holding PNG bytes: PNG input is kept byte for byte (its
    // content hash stays stable), other readable formats are converted.
    // Nothing for bytes that are no readable image or too large to decode.
    static std::optional<ClipDraft> fromImage(const QByteArray &bytes, std::optional<QString> bundleID = {},
                                              std::optional<QString> appName = {});
};

// How copied text is classified, ignoring surrounding white space: a hex
// colour (#RGB, #RRGGBB, #RRGGBBAA) is color, a single absolute http or https
// URL with a host is link, anything else is text.
ClipKind classifyText(QStringView text);

// The draft's content hash: the one it carries, else taken now.
QString contentHashOf(const ClipDraft &draft);

} // namespace tamo
