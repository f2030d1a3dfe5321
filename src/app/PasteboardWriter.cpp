#include "app/PasteboardWriter.h"

#include "model/ClipLibrary.h"
#include "model/StoredFilePath.h"
#include "platform/UriList.h"

namespace tamo {

namespace {

// A clip's rich text is RTF, or the HTML of a copy that had no RTF; RTF
// always opens with a brace, HTML never does.
QString richTextType(const QByteArray &richText)
{
    const QByteArray start = richText.left(64).trimmed();
    return start.startsWith('{') ? PasteboardType::rtf : PasteboardType::html;
}

PasteboardItem textItem(const ClipItem &clip, bool plainText)
{
    PasteboardItem item;
    if (clip.text())
        item.insert(PasteboardType::string, clip.text()->toUtf8());
    if (clip.kind() == ClipKind::text && !plainText) {
        if (const std::optional<QByteArray> richText = clip.rtfData())
            item.insert(richTextType(*richText), *richText);
    }
    return item;
}

// Images are kept as PNG.
PasteboardItem imageItem(const std::optional<QByteArray> &png)
{
    if (!png || png->isEmpty())
        return {};
    return {{PasteboardType::png, *png}};
}

// The URLs for file managers, the paths for text fields.
PasteboardItem fileItem(const QStringList &paths)
{
    PasteboardItem item;
    if (paths.isEmpty())
        return item;
    QList<QUrl> urls;
    QByteArrayList texts;
    for (const QString &path : paths) {
        urls.append(StoredFilePath::toURL(path));
        texts.append(StoredFilePath::bytes(path));
    }
    item.insert(PasteboardType::fileURL, UriList::format(urls));
    item.insert(PasteboardType::string, texts.join('\n'));
    return item;
}

} // namespace

PasteboardWriter::PasteboardWriter(Pasteboard &pasteboard, ClipLibrary &library)
    : m_pasteboard(pasteboard)
    , m_library(library)
{
}

std::optional<int> PasteboardWriter::write(const QList<ClipItemPtr> &clips, bool plainText)
{
    return m_pasteboard.writeItems(pasteboardItems(clips, plainText));
}

QList<PasteboardItem> PasteboardWriter::pasteboardItems(const QList<ClipItemPtr> &clips, bool plainText) const
{
    // Empty items are left out rather than passed on: where several items
    // collapse into one, an empty first item would stand for them all.
    QList<PasteboardItem> items;
    for (const ClipItemPtr &clip : clips) {
        if (!clip)
            continue;
        PasteboardItem item = pasteboardItem(*clip, plainText);
        if (!item.isEmpty())
            items.append(std::move(item));
    }
    return items;
}

PasteboardItem PasteboardWriter::pasteboardItem(const ClipItem &clip, bool plainText) const
{
    switch (clip.kind()) {
    case ClipKind::text:
    case ClipKind::link:
    case ClipKind::color:
        return textItem(clip, plainText);
    case ClipKind::image:
        return imageItem(m_library.storedImageData(clip));
    case ClipKind::file:
        return fileItem(clip.filePaths());
    }
    return {};
}

} // namespace tamo
