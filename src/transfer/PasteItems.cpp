#include "transfer/PasteItems.h"

#include "model/StoredFilePath.h"
#include "platform/RegularFile.h"
#include "transfer/KeyedArchive.h"
#include "transfer/Lzfse.h"
#include "transfer/PasteJsonItems.h"
#include "transfer/PastePlistItems.h"
#include "transfer/PasteValues.h"
#include "transfer/StrictValues.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QUrl>

#include <cmath>

namespace tamo::PasteImporter {

namespace {

enum class Marker : char { inline_ = 1, externalFile = 2 };

// One plain file name: no folder, no way up, nothing the file system would
// read differently.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(u'/') && !name.contains(QChar(0));
}

std::optional<QString> decodeUtf16(const QByteArray &bytes)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf16, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || !QStringView(text).isValidUtf16())
        return std::nullopt;
    return text;
}

// The type of an item's text: the first text type it holds; empty for none.
QString textType(const PasteboardItem &item)
{
    for (const QString &type : utf8TextTypes + utf16TextTypes) {
        if (item.contains(type))
            return type;
    }
    return {};
}

// A local file's path as capture keeps it; nothing for other URLs.
std::optional<QString> filePath(const QByteArray &urlBytes)
{
    const QUrl url = QUrl::fromEncoded(urlBytes, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile() || url.path().isEmpty()
        || url.path(QUrl::FullyEncoded).contains(QLatin1String("%00")))
        return std::nullopt;
    // The other app's folder URLs end in "/"; a folder's path does not.
    return StoredFilePath::fromURL(url.adjusted(QUrl::StripTrailingSlash));
}

} // namespace

std::optional<QByteArray> resolveStoredData(const QByteArray &stored, const QString &externalFolder)
{
    if (stored.isEmpty())
        return std::nullopt;
    // Not copied: a stored value may be hundreds of megabytes.
    const QByteArray rest = QByteArray::fromRawData(stored.constData() + 1, stored.size() - 1);
    switch (Marker(stored.at(0))) {
    case Marker::inline_:
        return rest;
    case Marker::externalFile: {
        const qsizetype end = rest.indexOf('\0');
        const QString name = QString::fromUtf8(end < 0 ? rest : rest.left(end));
        if (!isPlainFileName(name))
            return std::nullopt;
        // Only a regular file: a FIFO would never end, a link to a device never stop.
        FileContents file = readRegularFile(QDir(externalFolder).filePath(name), maxValueBytes);
        if (!file.ok())
            return std::nullopt;
        return std::move(file.bytes);
    }
    }
    return std::nullopt;
}

std::optional<QList<PasteboardItem>> unarchiveItems(const QByteArray &bytes)
{
    const std::optional<KeyedArchive> archive = KeyedArchive::parse(bytes);
    if (!archive)
        return std::nullopt;
    const std::optional<QList<plist_t>> elements = archive->array(archive->root());
    if (!elements)
        return std::nullopt;
    for (const plist_t element : *elements) {
        if (archive->className(element) != QLatin1String("PasteCore.PasteboardItem"))
            return std::nullopt;
    }
    Budget budget;
    QList<PasteboardItem> items;
    for (const plist_t element : *elements) {
        PasteboardItem item;
        const plist_t value = PropertyList::value(element, "data");
        const auto entries = value ? archive->dictionary(archive->resolve(value)) : std::nullopt;
        for (const auto &[key, object] : entries.value_or(QList<std::pair<plist_t, plist_t>>())) {
            const std::optional<QString> type = archive->string(key);
            const std::optional<QByteArray> data = archive->data(object);
            if (!type || !data) {
                // Not a dictionary of text to bytes: the item has no data.
                item.clear();
                break;
            }
            if (!budget.spend(data->size()))
                return std::nullopt;
            item.insert(*type, *data);
        }
        items.append(item);
    }
    return items;
}

std::optional<QList<PasteboardItem>> rawPasteboardItems(const QByteArray &bytes, CutTypes *cutTypes)
{
    if (bytes.startsWith("bplist00"))
        return itemsFromPropertyList(bytes, cutTypes);
    if (bytes.startsWith("bvx")) {
        const std::optional<QByteArray> plist = lzfse::decode(bytes, maxValueBytes);
        return plist ? itemsFromPropertyList(*plist, cutTypes) : std::nullopt;
    }
    return itemsFromDeflatedJson(bytes, cutTypes);
}

std::optional<QString> plainText(const PasteboardItem &item)
{
    const QString type = textType(item);
    if (type.isEmpty())
        return std::nullopt;
    return utf8TextTypes.contains(type) ? strict::decodeUtf8(item.value(type)) : decodeUtf16(item.value(type));
}

std::optional<ClipDraft> makeDraft(const QList<PasteboardItem> &items, const std::optional<QString> &bundleID,
                                   const std::optional<QString> &appName, const CutTypes &cutTypes)
{
    QStringList paths;
    for (const PasteboardItem &item : items) {
        if (const auto url = item.constFind(fileURLType); url != item.constEnd()) {
            if (std::optional<QString> path = filePath(*url))
                paths.append(*path);
        }
    }
    if (!paths.isEmpty()) {
        ClipDraft draft;
        draft.kind = ClipKind::file;
        draft.filePaths = paths;
        draft.sourceBundleID = bundleID;
        draft.sourceAppName = appName;
        return draft;
    }
    if (items.isEmpty())
        return std::nullopt;

    const PasteboardItem &first = items.first();
    if (std::optional<QString> text = plainText(first); text && !text->trimmed().isEmpty()) {
        if (cutTypes.contains(textType(first)))
            return ClipDraft::fromCutText(std::move(*text), bundleID, appName);
        std::optional<QByteArray> rtf;
        if (const auto found = first.constFind(rtfType); found != first.constEnd())
            rtf = *found;
        return ClipDraft::fromCappedText(*text, rtf, bundleID, appName);
    }
    for (const QString &type : imageTypes) {
        if (const auto image = first.constFind(type); image != first.constEnd())
            return ClipDraft::fromImage(*image, bundleID, appName);
    }
    return std::nullopt;
}

std::array<double, 3> unpackColor(qint64 code)
{
    return {double((code >> 16) & 255) / 255.0, double((code >> 8) & 255) / 255.0, double(code & 255) / 255.0};
}

std::optional<std::array<double, 3>> listColor(const std::optional<QByteArray> &attributes)
{
    if (!attributes)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*attributes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonValue code = document.object().value(QLatin1String("colorCode"));
    // Only numbers a 64-bit integer holds; the low 24 bits are the colour.
    constexpr double limit = 9223372036854775808.0;
    if (!code.isDouble() || !std::isfinite(code.toDouble()) || std::fabs(code.toDouble()) >= limit)
        return std::nullopt;
    return unpackColor(qint64(code.toDouble()));
}

} // namespace tamo::PasteImporter
