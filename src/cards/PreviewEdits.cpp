#include "cards/PreviewEdits.h"

#include "model/ClipItem.h"

#include <QSet>

namespace tamo {

std::optional<QString> cleanedTitle(const QString &typed)
{
    const QString trimmed = typed.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

QStringList cleanedKeywords(const QStringList &typed)
{
    QStringList kept;
    QSet<QString> seen;
    for (const QString &keyword : typed) {
        const QString trimmed = keyword.trimmed();
        if (trimmed.isEmpty())
            continue;
        const QString folded = trimmed.toCaseFolded();
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        kept.append(trimmed);
    }
    return kept;
}

bool applyPreviewEdits(ClipItem &clip, const PreviewEdits &edits)
{
    bool changed = false;
    if (edits.title) {
        const std::optional<QString> title = cleanedTitle(*edits.title);
        if (title != clip.title()) {
            clip.setTitle(title);
            changed = true;
        }
    }
    if (edits.keywords) {
        const QStringList keywords = cleanedKeywords(*edits.keywords);
        if (keywords != clip.keywords()) {
            clip.setKeywords(keywords);
            changed = true;
        }
    }
    if (edits.text && clip.kind() == ClipKind::text && !edits.text->isEmpty() && edits.text != clip.text()) {
        clip.setText(*edits.text);
        clip.setRtfData(std::nullopt);
        changed = true;
    }
    return changed;
}

} // namespace tamo
