#include "app/CaptureDrafts.h"

#include "app/PasteboardCopy.h"
#include "model/StoredFilePath.h"
#include "platform/AppInfo.h"

#include <QSet>

#include <algorithm>

namespace tamo::CaptureDrafts {

namespace {

// Image viewers whose Copy Image gives the picture along with its file's
// address; what was copied is the picture.
bool isImageFirstApp(const AppInfo &source)
{
    static const QSet<QString> apps{QStringLiteral("org.gnome.eog"), QStringLiteral("eog"), QStringLiteral("eom"),
                                    QStringLiteral("xviewer")};
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
    if (const PasteboardContents::FileList files = copy.fileList(); !files.urls.isEmpty()) {
        QStringList paths;
        for (const QUrl &url : files.urls) {
            if (QString path = StoredFilePath::fromURL(url); path.size() <= StoredFilePath::longest)
                paths.append(std::move(path));
        }
        if (!paths.isEmpty())
            return ClipDraft::fromFiles(std::move(paths), files.cut, bundleID, appName);
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
    if (!copy.fileList().urls.isEmpty())
        return;
    if (const std::optional<QString> &text = copy.text(); text && hasVisibleText(*text)) {
        if (text->size() <= largestText)
            richText(copy);
        return;
    }
    image(copy);
}

} // namespace tamo::CaptureDrafts
