#include "transfer/PasteItems.h"

#include "model/StoredFilePath.h"
#include "platform/RegularFile.h"
#include "transfer/KeyedArchive.h"
#include "transfer/Lzfse.h"
#include "transfer/StrictValues.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QUrl>

#include <zlib.h>

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

// What one clip's items may add up to, so that shared or repeated values
// cannot multiply into more memory than one large value.
class Budget
{
public:
    bool spend(qsizetype bytes)
    {
        if (bytes > m_left)
            return false;
        m_left -= bytes;
        return true;
    }
    qsizetype left() const { return m_left; }

private:
    qsizetype m_left = maxValueBytes;
};

// The most a row's JSON may inflate to: room for the longest text a clip
// keeps, as Base64 of UTF-8, with the item's other types beside it. A
// longer one is refused as it inflates, before it fills memory.
constexpr qsizetype maxJsonBytes = 64 * 1024 * 1024;

// Raw DEFLATE (no zlib header), as the platform's "zlib" compression writes
// it; nothing when damaged, unfinished or larger than `limit`.
std::optional<QByteArray> inflateRaw(const QByteArray &bytes, qsizetype limit)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(std::min<qsizetype>(bytes.size(), std::numeric_limits<uInt>::max()));
    QByteArray out;
    constexpr qsizetype chunk = 64 * 1024;
    int status = Z_OK;
    while (status == Z_OK) {
        if (out.size() >= limit) {
            status = Z_MEM_ERROR;
            break;
        }
        const qsizetype before = out.size();
        const qsizetype room = std::min(chunk, limit - before);
        out.resize(before + room);
        stream.next_out = reinterpret_cast<Bytef *>(out.data() + before);
        stream.avail_out = uInt(room);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(before + room - qsizetype(stream.avail_out));
        if (status == Z_BUF_ERROR && stream.avail_in > 0)
            status = Z_OK; // the output chunk was full
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
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

std::optional<QByteArray> decodeBase64(const QString &text, Budget &budget)
{
    std::optional<QByteArray> bytes = strict::decodeBase64(text, budget.left());
    if (!bytes || !budget.spend(bytes->size()))
        return std::nullopt;
    return bytes;
}

const QStringList utf8TextTypes{QStringLiteral("public.utf8-plain-text"), QStringLiteral("public.text"),
                                 QStringLiteral("public.plain-text"), QStringLiteral("public.url")};
const QStringList utf16TextTypes{QStringLiteral("public.utf16-external-plain-text"),
                                  QStringLiteral("public.utf16-plain-text")};
const QString fileURLType = QStringLiteral("public.file-url");
const QString rtfType = QStringLiteral("public.rtf");
const QStringList imageTypes{QStringLiteral("public.png"), QStringLiteral("public.tiff")};

// The types a capture is made of. An item's other types are never read: it
// keeps memory to what is used, and looking types up by name spares the
// property-list library keys it cannot hand over (an embedded NUL makes it
// abort).
const QStringList &capturedTypes()
{
    static const QStringList types = utf8TextTypes + utf16TextTypes + QStringList{fileURLType, rtfType} + imageTypes;
    return types;
}

// Bytes enter as they are, text as Base64; anything else is left out.
PasteboardItem dataDictionary(plist_t dataByType, Budget &budget)
{
    PasteboardItem item;
    for (const QString &type : capturedTypes()) {
        const plist_t value = PropertyList::value(dataByType, type.toLatin1().constData());
        if (std::optional<QByteArray> bytes = PropertyList::data(value)) {
            if (budget.spend(bytes->size()))
                item.insert(type, *bytes);
        } else if (const std::optional<QString> text = PropertyList::string(value)) {
            if (const auto decoded = decodeBase64(*text, budget))
                item.insert(type, *decoded);
        }
    }
    return item;
}

PasteboardItem dataDictionary(const QJsonObject &dataByType, Budget &budget)
{
    PasteboardItem item;
    for (const QString &type : capturedTypes()) {
        const QJsonValue value = dataByType.value(type);
        if (!value.isString())
            continue;
        if (const auto decoded = decodeBase64(value.toString(), budget))
            item.insert(type, *decoded);
    }
    return item;
}

std::optional<QList<PasteboardItem>> itemsFromPropertyList(const QByteArray &bytes)
{
    const std::optional<PropertyList> list = PropertyList::parse(bytes);
    if (!list || !PropertyList::isArray(list->root()) || PropertyList::count(list->root()) == 0)
        return std::nullopt;
    const quint32 count = PropertyList::count(list->root());
    for (quint32 i = 0; i < count; ++i) {
        if (!PropertyList::isDictionary(PropertyList::item(list->root(), i)))
            return std::nullopt;
    }
    Budget budget;
    QList<PasteboardItem> items;
    for (quint32 i = 0; i < count; ++i) {
        const plist_t dataByType = PropertyList::value(PropertyList::item(list->root(), i), "dataByType");
        items.append(PropertyList::isDictionary(dataByType) ? dataDictionary(dataByType, budget) : PasteboardItem());
    }
    return items;
}

std::optional<QList<PasteboardItem>> itemsFromJson(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() || document.array().isEmpty())
        return std::nullopt;
    const QJsonArray array = document.array();
    for (const QJsonValue &element : array) {
        if (!element.isObject())
            return std::nullopt;
    }
    Budget budget;
    QList<PasteboardItem> items;
    for (const QJsonValue &element : array) {
        const QJsonValue dataByType = element.toObject().value(QLatin1String("dataByType"));
        items.append(dataByType.isObject() ? dataDictionary(dataByType.toObject(), budget) : PasteboardItem());
    }
    return items;
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

std::optional<QList<PasteboardItem>> rawPasteboardItems(const QByteArray &bytes)
{
    if (bytes.startsWith("bplist00"))
        return itemsFromPropertyList(bytes);
    if (bytes.startsWith("bvx")) {
        const std::optional<QByteArray> plist = lzfse::decode(bytes, maxValueBytes);
        return plist ? itemsFromPropertyList(*plist) : std::nullopt;
    }
    const std::optional<QByteArray> json = inflateRaw(bytes, maxJsonBytes);
    return json ? itemsFromJson(*json) : std::nullopt;
}

std::optional<QString> plainText(const PasteboardItem &item)
{
    for (const QString &type : utf8TextTypes) {
        if (const auto bytes = item.constFind(type); bytes != item.constEnd())
            return strict::decodeUtf8(*bytes);
    }
    for (const QString &type : utf16TextTypes) {
        if (const auto bytes = item.constFind(type); bytes != item.constEnd())
            return decodeUtf16(*bytes);
    }
    return std::nullopt;
}

std::optional<ClipDraft> makeDraft(const QList<PasteboardItem> &items, const std::optional<QString> &bundleID,
                                   const std::optional<QString> &appName)
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
