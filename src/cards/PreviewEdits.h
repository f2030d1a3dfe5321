#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tamo {

class ClipItem;

// What the user changed in the preview's fields since they were filled; a
// field left alone stays empty here, so it never writes.
struct PreviewEdits
{
    std::optional<QString> title;
    std::optional<QStringList> keywords;
    std::optional<QString> text;

    bool isEmpty() const { return !title && !keywords && !text; }
};

// A title as stored: trimmed, and none when nothing is left.
std::optional<QString> cleanedTitle(const QString &typed);

// Keywords as stored: trimmed, empty ones dropped, and of those equal
// ignoring case only the first kept.
QStringList cleanedKeywords(const QStringList &typed);

// Writes the edits into the clip in their stored form; true when the clip
// changed. Text is only taken for text clips, and never an empty one (that
// would leave a clip with nothing to paste). New text drops the rich text
// copied with the old one, which would otherwise paste the old words.
bool applyPreviewEdits(ClipItem &clip, const PreviewEdits &edits);

} // namespace tamo
