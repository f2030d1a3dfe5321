#include "model/ClipDraft.h"

#include "model/ContentHash.h"
#include "model/ImageEncoding.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QLocale>
#include <QUrl>

#include <algorithm>

namespace tamo {

namespace {

bool isHexColor(QStringView text)
{
    const qsizetype digits = text.size() - 1;
    if (!text.startsWith(u'#') || (digits != 3 && digits != 6 && digits != 8))
        return false;
    return std::all_of(text.begin() + 1, text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
}

bool isWebLink(QStringView text)
{
    // Cheap prefix test first: copied text can be megabytes long.
    if (!text.startsWith(u"http://", Qt::CaseInsensitive) && !text.startsWith(u"https://", Qt::CaseInsensitive))
        return false;
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); }))
        return false;
    const QUrl url(text.toString(), QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty();
}

// A size in whole megabytes of characters, at least 1.
QString megabytes(qsizetype characters)
{
    return QString::number(std::max<qsizetype>(1, (characters + 512 * 1024) / (1024 * 1024)));
}

} // namespace

ClipKind classifyText(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (isHexColor(trimmed))
        return ClipKind::color;
    if (isWebLink(trimmed))
        return ClipKind::link;
    return ClipKind::text;
}

ClipDraft ClipDraft::fromText(QString text, std::optional<QByteArray> rtf, std::optional<QString> bundleID,
                              std::optional<QString> appName)
{
    ClipDraft draft;
    draft.kind = classifyText(text);
    draft.text = std::move(text);
    draft.rtfData = std::move(rtf);
    draft.sourceBundleID = std::move(bundleID);
    draft.sourceAppName = std::move(appName);
    return draft;
}

ClipDraft ClipDraft::fromCappedText(const QString &text, std::optional<QByteArray> rtf,
                                    std::optional<QString> bundleID, std::optional<QString> appName)
{
    return fromTextStart(text, text.size(), std::move(rtf), std::move(bundleID), std::move(appName));
}

ClipDraft ClipDraft::fromTextStart(QString start, qsizetype length, std::optional<QByteArray> rtf,
                                   std::optional<QString> bundleID, std::optional<QString> appName)
{
    if (length <= largestText)
        return fromText(std::move(start), std::move(rtf), std::move(bundleID), std::move(appName));
    ClipDraft draft = fromCutText(std::move(start), std::move(bundleID), std::move(appName));
    draft.title = QCoreApplication::translate("CaptureDrafts", "Cut to the first %1 MB of %2 MB")
                      .arg(megabytes(draft.text->size()), megabytes(length));
    return draft;
}

ClipDraft ClipDraft::fromCutText(QString text, std::optional<QString> bundleID, std::optional<QString> appName)
{
    // Cut in place: the text may be the largest a clip holds.
    if (text.size() >= largestText)
        text.truncate(text.at(largestText - 1).isHighSurrogate() ? largestText - 1 : largestText);
    const QString title = QCoreApplication::translate("CaptureDrafts", "Cut to the first %1 MB of a longer text")
                              .arg(megabytes(text.size()));
    ClipDraft draft = fromText(std::move(text), std::nullopt, std::move(bundleID), std::move(appName));
    draft.title = title;
    return draft;
}

ClipDraft ClipDraft::fromFiles(QStringList paths, bool cut, std::optional<QString> bundleID,
                               std::optional<QString> appName)
{
    ClipDraft draft;
    draft.kind = ClipKind::file;
    if (cut)
        draft.title = QCoreApplication::translate("CaptureDrafts", "The first %1 files of a longer list")
                          .arg(QLocale().toString(paths.size()));
    draft.filePaths = std::move(paths);
    draft.sourceBundleID = std::move(bundleID);
    draft.sourceAppName = std::move(appName);
    return draft;
}

std::optional<ClipDraft> ClipDraft::fromImage(const QByteArray &bytes, std::optional<QString> bundleID,
                                              std::optional<QString> appName)
{
    if (bytes.isEmpty())
        return std::nullopt;

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);

    const QByteArray format = reader.format();
    // A vector image has no pixel size of its own.
    if (format.isEmpty() || format.startsWith("svg"))
        return std::nullopt;
    const QSize declaredSize = reader.size();
    if (declaredSize.isValid() && qint64(declaredSize.width()) * declaredSize.height() > ClipLimits::largestImagePixels)
        return std::nullopt;

    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;

    const QByteArray png = format == "png" ? bytes : encodePng(image);
    if (png.isEmpty() || png.size() > ClipLimits::largestImage)
        return std::nullopt;

    ClipDraft draft;
    draft.kind = ClipKind::image;
    draft.imageData = png;
    draft.imageWidth = image.width();
    draft.imageHeight = image.height();
    draft.sourceBundleID = std::move(bundleID);
    draft.sourceAppName = std::move(appName);
    return draft;
}

QString contentHashOf(const ClipDraft &draft)
{
    if (draft.contentHash)
        return *draft.contentHash;
    return makeContentHash(draft.kind, draft.text, draft.imageData, draft.filePaths);
}

} // namespace tamo
