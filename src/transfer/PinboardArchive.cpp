#include "transfer/PinboardArchive.h"

#include "model/ClipItem.h"
#include "model/Emoji.h"
#include "model/PinboardPalette.h"
#include "transfer/PinboardDocument.h"
#include "transfer/StrictValues.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cstring>
#include <utility>

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

// A slash only occurs inside strings; writing it escaped matches the other
// writers of this file. Copied once: Base64 alone holds millions of slashes,
// and escaping each in place moves the rest of the file.
QByteArray withEscapedSlashes(const QByteArray &json)
{
    QByteArray escaped;
    escaped.reserve(json.size() + json.count('/'));
    qsizetype from = 0;
    for (qsizetype slash = json.indexOf('/'); slash >= 0; slash = json.indexOf('/', from)) {
        escaped.append(json.constData() + from, slash - from).append("\\/");
        from = slash + 1;
    }
    return escaped.append(json.constData() + from, json.size() - from);
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
    return withEscapedSlashes(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

PinboardArchive PinboardArchive::decode(const QByteArray &bytes)
{
    if (bytes.size() > maxFileBytes)
        fail(QStringLiteral("The file is larger than %1 MB.").arg(maxFileBytes / (1024 * 1024)));
    // Collects what the reader hands out into the whole document.
    struct Collector final : PinboardDocumentSink
    {
        void clip(Clip clip) override { clips.append(std::move(clip)); }
        void pinboard(Board board) override
        {
            board.clips = std::exchange(clips, {});
            archive.pinboards.append(std::move(board));
        }
        void app(App app) override { archive.apps.append(std::move(app)); }

        PinboardArchive archive;
        QList<Clip> clips;
    } collector;
    qsizetype offset = 0;
    JsonStream stream([&](char *into, qint64 maxBytes) {
        const qsizetype count = std::min<qsizetype>(maxBytes, bytes.size() - offset);
        std::memcpy(into, bytes.constData() + offset, std::size_t(count));
        offset += count;
        return qint64(count);
    });
    collector.archive.exportedAt = readPinboardDocument(stream, collector);
    return std::move(collector.archive);
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
