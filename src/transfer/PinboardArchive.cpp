#include "transfer/PinboardArchive.h"

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/Emoji.h"
#include "model/PinboardPalette.h"
#include "model/TypedText.h"
#include "transfer/ArchiveBounds.h"
#include "transfer/StrictValues.h"

#include <QBuffer>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>

namespace tamo {

ArchiveError ArchiveError::notPinboards()
{
    return {Kind::notPinboards, QStringLiteral("This file doesn't contain TamoCove pinboards.")};
}

ArchiveError ArchiveError::newerVersion()
{
    return {Kind::newerVersion,
            QStringLiteral("This file was made by a newer version of TamoCove. Update TamoCove to import it.")};
}

namespace {

[[noreturn]] void fail(const QString &text)
{
    throw ArchiveError(ArchiveError::Kind::decoding, text);
}

// Typed access to one JSON object of the file; every fault names its key.
class Fields
{
public:
    explicit Fields(const QJsonValue &value, const QString &what)
    {
        if (!value.isObject())
            fail(QStringLiteral("%1 is not a JSON object.").arg(what));
        m_object = value.toObject();
    }

    std::optional<QJsonValue> optional(const QString &key) const
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        return value;
    }

    QJsonValue required(const QString &key) const
    {
        auto value = optional(key);
        if (!value)
            fail(QStringLiteral("The value for the key “%1” is missing.").arg(key));
        return *value;
    }

    static QString string(const QJsonValue &value, const QString &key)
    {
        if (!value.isString())
            fail(wrongType(key));
        QString text = value.toString();
        if (text.size() > PinboardArchive::maxValueBytes)
            fail(QStringLiteral("The value for the key “%1” is too large.").arg(key));
        return text;
    }

    static qint64 integer(const QJsonValue &value, const QString &key)
    {
        // JSON numbers arrive as doubles; only whole numbers a double holds exactly count.
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || !std::isfinite(number) || std::trunc(number) != number ||
            std::fabs(number) > 9007199254740992.0)
            fail(wrongType(key));
        return qint64(number);
    }

    static QDateTime date(const QJsonValue &value, const QString &key)
    {
        const QString text = string(value, key);
        const auto parsed = strict::parseInternetDate(text);
        if (!parsed)
            fail(QStringLiteral("Invalid date: ") + text);
        return *parsed;
    }

    static QByteArray bytes(const QJsonValue &value, const QString &key)
    {
        const auto decoded = strict::decodeBase64(string(value, key), PinboardArchive::maxValueBytes);
        if (!decoded)
            fail(QStringLiteral("The value for the key “%1” is not valid Base64 data.").arg(key));
        return *decoded;
    }

    static QUuid uuid(const QJsonValue &value, const QString &key)
    {
        const auto parsed = strict::parseUuid(string(value, key));
        if (!parsed)
            fail(QStringLiteral("The value for the key “%1” is not a valid UUID.").arg(key));
        return *parsed;
    }

    static QJsonArray array(const QJsonValue &value, const QString &key)
    {
        if (!value.isArray())
            fail(wrongType(key));
        return value.toArray();
    }

    static QStringList strings(const QJsonValue &value, const QString &key)
    {
        QStringList list;
        for (const QJsonValue &element : array(value, key))
            list.append(string(element, key));
        return list;
    }

    QString requiredString(const QString &key) const { return string(required(key), key); }
    std::optional<QString> optionalString(const QString &key) const
    {
        const auto value = optional(key);
        return value ? std::optional(string(*value, key)) : std::nullopt;
    }
    std::optional<QDateTime> optionalDate(const QString &key) const
    {
        const auto value = optional(key);
        return value ? std::optional(date(*value, key)) : std::nullopt;
    }
    std::optional<QByteArray> optionalBytes(const QString &key) const
    {
        const auto value = optional(key);
        return value ? std::optional(bytes(*value, key)) : std::nullopt;
    }
    std::optional<QUuid> optionalUuid(const QString &key) const
    {
        const auto value = optional(key);
        return value ? std::optional(uuid(*value, key)) : std::nullopt;
    }
    std::optional<int> optionalSide(const QString &key) const
    {
        const auto value = optional(key);
        if (!value)
            return std::nullopt;
        const qint64 side = integer(*value, key);
        if (side < 0 || side > PinboardArchive::maxImageSide)
            fail(QStringLiteral("The value for the key “%1” is out of range.").arg(key));
        return int(side);
    }

private:
    static QString wrongType(const QString &key)
    {
        return QStringLiteral("The value for the key “%1” has the wrong type.").arg(key);
    }

    QJsonObject m_object;
};

// Image bytes must at least name a format and a size we can read, so a clip
// never arrives that no card can draw.
void checkImage(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || size.width() > PinboardArchive::maxImageSide ||
        size.height() > PinboardArchive::maxImageSide)
        fail(QStringLiteral("An image in the file can't be read."));
}

PinboardArchive::Clip readClip(const QJsonValue &value)
{
    const Fields fields(value, QStringLiteral("A clip"));
    PinboardArchive::Clip clip;
    clip.kind = fields.requiredString(QStringLiteral("kind"));
    clip.title = cappedTypedText(fields.optionalString(QStringLiteral("title")));
    clip.text = fields.optionalString(QStringLiteral("text"));
    if (clip.text && clip.text->size() > ClipDraft::largestText) {
        // Kept as a copy of that length would be.
        ClipDraft cut = ClipDraft::fromCappedText(*clip.text);
        clip.text = std::move(cut.text);
        if (!clip.title)
            clip.title = cut.title;
    }
    clip.keywords = Fields::strings(fields.required(QStringLiteral("keywords")), QStringLiteral("keywords"));
    clip.rtf = fields.optionalBytes(QStringLiteral("rtf"));
    clip.image = fields.optionalBytes(QStringLiteral("image"));
    if (clip.image)
        checkImage(*clip.image);
    clip.imageWidth = fields.optionalSide(QStringLiteral("imageWidth"));
    clip.imageHeight = fields.optionalSide(QStringLiteral("imageHeight"));
    if (const auto paths = fields.optional(QStringLiteral("filePaths")))
        clip.filePaths = Fields::strings(*paths, QStringLiteral("filePaths"));
    clip.sourceBundleID = fields.optionalString(QStringLiteral("sourceBundleID"));
    clip.sourceAppName = fields.optionalString(QStringLiteral("sourceAppName"));
    clip.createdAt = Fields::date(fields.required(QStringLiteral("createdAt")), QStringLiteral("createdAt"));
    clip.pinnedAt = fields.optionalDate(QStringLiteral("pinnedAt"));
    clip.iconEmoji = fields.optionalString(QStringLiteral("iconEmoji"));
    clip.id = fields.optionalUuid(QStringLiteral("id"));
    clip.editedAt = fields.optionalDate(QStringLiteral("editedAt"));
    return clip;
}

PinboardArchive::Board readBoard(const QJsonValue &value, qsizetype &clipBudget)
{
    const Fields fields(value, QStringLiteral("A pinboard"));
    PinboardArchive::Board board;
    board.name = cappedTypedText(fields.requiredString(QStringLiteral("name")));
    board.color = fields.requiredString(QStringLiteral("color"));
    const QJsonArray clips = Fields::array(fields.required(QStringLiteral("clips")), QStringLiteral("clips"));
    clipBudget -= clips.size();
    if (clipBudget < 0)
        fail(QStringLiteral("The file holds more than %1 clips.").arg(PinboardArchive::maxClips));
    for (const QJsonValue &clip : clips)
        board.clips.append(readClip(clip));
    board.id = fields.optionalUuid(QStringLiteral("id"));
    return board;
}

PinboardArchive::App readApp(const QJsonValue &value)
{
    const Fields fields(value, QStringLiteral("An app"));
    PinboardArchive::App app;
    app.bundleID = fields.requiredString(QStringLiteral("bundleID"));
    app.name = fields.optionalString(QStringLiteral("name"));
    app.icon = fields.optionalBytes(QStringLiteral("icon"));
    app.tint = fields.requiredString(QStringLiteral("tint"));
    return app;
}

template<typename T>
void put(QJsonObject &object, const QString &key, const std::optional<T> &value)
{
    if (value)
        object.insert(key, *value);
}

void putDate(QJsonObject &object, const QString &key, const std::optional<QDateTime> &date)
{
    if (date)
        object.insert(key, strict::formatInternetDate(*date));
}

void putBytes(QJsonObject &object, const QString &key, const std::optional<QByteArray> &bytes)
{
    if (bytes)
        object.insert(key, QString::fromLatin1(bytes->toBase64()));
}

QJsonObject clipObject(const PinboardArchive::Clip &clip)
{
    QJsonObject object;
    object.insert(QStringLiteral("kind"), clip.kind);
    put(object, QStringLiteral("title"), clip.title);
    put(object, QStringLiteral("text"), clip.text);
    object.insert(QStringLiteral("keywords"), QJsonArray::fromStringList(clip.keywords));
    putBytes(object, QStringLiteral("rtf"), clip.rtf);
    putBytes(object, QStringLiteral("image"), clip.image);
    put(object, QStringLiteral("imageWidth"), clip.imageWidth);
    put(object, QStringLiteral("imageHeight"), clip.imageHeight);
    if (clip.filePaths)
        object.insert(QStringLiteral("filePaths"), QJsonArray::fromStringList(*clip.filePaths));
    put(object, QStringLiteral("sourceBundleID"), clip.sourceBundleID);
    put(object, QStringLiteral("sourceAppName"), clip.sourceAppName);
    object.insert(QStringLiteral("createdAt"), strict::formatInternetDate(clip.createdAt));
    putDate(object, QStringLiteral("pinnedAt"), clip.pinnedAt);
    put(object, QStringLiteral("iconEmoji"), clip.iconEmoji);
    if (clip.id)
        object.insert(QStringLiteral("id"), clip.id->toString(QUuid::WithoutBraces).toUpper());
    putDate(object, QStringLiteral("editedAt"), clip.editedAt);
    return object;
}

} // namespace

QByteArray PinboardArchive::encode() const
{
    QJsonArray boards;
    for (const Board &board : pinboards) {
        QJsonArray clips;
        for (const Clip &clip : board.clips)
            clips.append(clipObject(clip));
        QJsonObject object{{QStringLiteral("name"), board.name},
                           {QStringLiteral("color"), board.color},
                           {QStringLiteral("clips"), clips}};
        if (board.id)
            object.insert(QStringLiteral("id"), board.id->toString(QUuid::WithoutBraces).toUpper());
        boards.append(object);
    }
    QJsonArray appList;
    for (const App &app : apps) {
        QJsonObject object{{QStringLiteral("bundleID"), app.bundleID}, {QStringLiteral("tint"), app.tint}};
        put(object, QStringLiteral("name"), app.name);
        putBytes(object, QStringLiteral("icon"), app.icon);
        appList.append(object);
    }
    // QJsonObject keeps its keys sorted, which is the file's key order.
    const QJsonObject root{{QStringLiteral("format"), format},
                           {QStringLiteral("version"), version},
                           {QStringLiteral("exportedAt"), strict::formatInternetDate(exportedAt)},
                           {QStringLiteral("pinboards"), boards},
                           {QStringLiteral("apps"), appList}};
    // A slash only occurs inside strings; writing it escaped matches the other writers of this file.
    return QJsonDocument(root).toJson(QJsonDocument::Indented).replace('/', "\\/");
}

PinboardArchive PinboardArchive::decode(const QByteArray &bytes)
{
    if (bytes.size() > maxFileBytes)
        fail(QStringLiteral("The file is larger than %1 MB.").arg(maxFileBytes / (1024 * 1024)));
    // Checked in place: a refused file costs little more than its bytes.
    if (!bytes.isValidUtf8())
        fail(QStringLiteral("The file isn't valid UTF-8 text."));
    checkArchiveBounds(bytes);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (document.isNull())
        fail(QStringLiteral("The file isn't valid JSON (%1 at offset %2).").arg(error.errorString()).arg(error.offset));

    const Fields fields(document.isObject() ? QJsonValue(document.object()) : QJsonValue(), QStringLiteral("The file"));
    PinboardArchive archive;
    archive.format = fields.requiredString(QStringLiteral("format"));
    archive.version = Fields::integer(fields.required(QStringLiteral("version")), QStringLiteral("version"));
    archive.exportedAt = Fields::date(fields.required(QStringLiteral("exportedAt")), QStringLiteral("exportedAt"));
    const QJsonArray boards = Fields::array(fields.required(QStringLiteral("pinboards")), QStringLiteral("pinboards"));
    if (boards.size() > maxPinboards)
        fail(QStringLiteral("The file holds more than %1 pinboards.").arg(maxPinboards));
    qsizetype clipBudget = maxClips;
    for (const QJsonValue &board : boards)
        archive.pinboards.append(readBoard(board, clipBudget));
    for (const QJsonValue &app : Fields::array(fields.required(QStringLiteral("apps")), QStringLiteral("apps")))
        archive.apps.append(readApp(app));

    if (archive.format != QLatin1String(formatName))
        throw ArchiveError::notPinboards();
    if (archive.version >= 2)
        throw ArchiveError::newerVersion();
    return archive;
}

QString PinboardArchive::paletteName(int colorIndex)
{
    return paletteEntry(colorIndex).name;
}

int PinboardArchive::clipCount() const
{
    int count = 0;
    for (const Board &board : pinboards)
        count += int(board.clips.size());
    return count;
}

int paletteIndexNamed(const QString &name)
{
    const auto &palette = pinboardPalette();
    for (int i = 0; i < palette.size(); ++i) {
        if (palette[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

MergedMetadata currentMetadata(const ClipItem &local)
{
    return {local.title(), local.keywords(), local.iconEmoji(), false};
}

MergedMetadata mergedMetadata(const ClipItem &local, const PinboardArchive::Clip &file,
                              const std::optional<QDateTime> &localEditedAt)
{
    const auto fileTitle = file.title && !file.title->isEmpty() ? file.title : std::nullopt;
    const auto fileEmoji = file.iconEmoji && isSingleEmoji(*file.iconEmoji) ? file.iconEmoji : std::nullopt;
    if (file.editedAt && (!localEditedAt || *file.editedAt > *localEditedAt))
        return {fileTitle, file.keywords, fileEmoji, true};
    if (localEditedAt)
        return currentMetadata(local);

    MergedMetadata merged;
    merged.title = local.title() && !local.title()->isEmpty() ? local.title() : fileTitle;
    merged.emoji = local.iconEmoji() ? local.iconEmoji() : fileEmoji;
    merged.keywords = local.keywords();
    // Looked up by their case-folded form, so a file of many keywords costs
    // no more than reading it.
    QSet<QString> known;
    known.reserve(merged.keywords.size() + file.keywords.size());
    for (const QString &keyword : std::as_const(merged.keywords))
        known.insert(keyword.toCaseFolded());
    for (const QString &keyword : file.keywords) {
        const QString folded = keyword.toCaseFolded();
        if (!known.contains(folded)) {
            known.insert(folded);
            merged.keywords.append(keyword);
        }
    }
    return merged;
}

} // namespace tamo
