#include "app/CaptureDrafts.h"

#include "app/PasteboardCopy.h"
#include "model/StoredFilePath.h"
#include "platform/AppInfo.h"

#include <QSet>

#include <algorithm>

namespace tamo::CaptureDrafts {

namespace {

// Apps whose copies are an image first, though they carry its files too.
bool isImageFirstApp(const AppInfo &source)
{
    static const QSet<QString> apps{QStringLiteral("com.apple.Photos")};
    return apps.contains(source.bundleID);
}

bool hasVisibleText(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return !c.isSpace(); });
}

std::optional<QByteArray> firstOf(const PasteboardCopy &copy, std::initializer_list<QString> types)
{
    for (const QString &type : types) {
        if (std::optional<QByteArray> bytes = copy.data(type))
            return bytes;
    }
    return std::nullopt;
}

std::optional<QByteArray> image(const PasteboardCopy &copy)
{
    return firstOf(copy, {PasteboardType::png, PasteboardType::tiff});
}

// Browsers and GTK apps give HTML where others give RTF; either is kept as
// the clip's rich text, as it came.
std::optional<QByteArray> richText(const PasteboardCopy &copy)
{
    return firstOf(copy, {PasteboardType::rtf, PasteboardType::html});
}

} // namespace

std::optional<ClipDraft> fromCopy(PasteboardCopy &copy, const AppInfo &source)
{
    std::optional<QString> bundleID;
    std::optional<QString> appName;
    if (source.isValid()) {
        bundleID = source.bundleID;
        if (!source.name.isEmpty())
            appName = source.name;
    }

    if (isImageFirstApp(source)) {
        if (const std::optional<QByteArray> bytes = image(copy))
            return ClipDraft::fromImage(*bytes, bundleID, appName);
    }
    if (const QList<QUrl> urls = copy.fileURLs(); !urls.isEmpty()) {
        ClipDraft draft;
        draft.kind = ClipKind::file;
        for (const QUrl &url : urls)
            draft.filePaths.append(StoredFilePath::fromURL(url));
        draft.sourceBundleID = bundleID;
        draft.sourceAppName = appName;
        return draft;
    }
    if (const std::optional<QString> &text = copy.text(); text && hasVisibleText(*text)) {
        if (text->size() > largestText)
            return ClipDraft::fromCappedText(*text, std::nullopt, bundleID, appName);
        return ClipDraft::fromText(*text, richText(copy), bundleID, appName);
    }
    if (const std::optional<QByteArray> bytes = image(copy))
        return ClipDraft::fromImage(*bytes, bundleID, appName);
    return std::nullopt;
}

void readAhead(PasteboardCopy &copy)
{
    if (!copy.fileURLs().isEmpty())
        return;
    if (const std::optional<QString> &text = copy.text(); text && hasVisibleText(*text)) {
        if (text->size() <= largestText)
            richText(copy);
        return;
    }
    image(copy);
}

} // namespace tamo::CaptureDrafts
