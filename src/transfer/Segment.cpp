#include "transfer/Segment.h"

#include "model/ClipItem.h"
#include "model/Pinboard.h"
#include "model/SourceApp.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cmath>

namespace tamo {

namespace {

using Result = SegmentRead::Result;

// Integers travel as JSON numbers, exact up to 2^53.
constexpr double largestExactInteger = 9007199254740992.0;

QByteArray line(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QString sha256Hex(QByteArrayView bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

std::optional<QJsonObject> parseObject(QByteArrayView bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

bool hasExactlyKeys(const QJsonObject &object, std::initializer_list<const char *> keys)
{
    if (object.size() != qsizetype(keys.size()))
        return false;
    for (const char *key : keys) {
        if (!object.contains(QLatin1String(key)))
            return false;
    }
    return true;
}

std::optional<qint64> exactInteger(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || std::abs(number) > largestExactInteger)
        return std::nullopt;
    return qint64(number);
}

bool isBoundedString(const QJsonValue &value)
{
    return value.isString() && value.toString().size() <= Segment::largestString;
}

bool isUuidText(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9a-fA-F]{8}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{12}$"));
    return pattern.match(text).hasMatch();
}

bool fitsColumn(ColumnType type, const QJsonValue &value)
{
    switch (type) {
    case ColumnType::text:
        return value.isNull() || isBoundedString(value);
    case ColumnType::uuid:
        return value.isNull() || (value.isString() && isUuidText(value.toString()));
    case ColumnType::date:
        return value.isNull() || exactInteger(value).has_value();
    case ColumnType::integer:
        return exactInteger(value).has_value();
    case ColumnType::boolean:
        return value.isBool();
    case ColumnType::stringList: {
        if (!value.isArray() || value.toArray().size() > Segment::largestList)
            return false;
        const QJsonArray array = value.toArray();
        return std::all_of(array.begin(), array.end(), [](const QJsonValue &item) { return isBoundedString(item); });
    }
    case ColumnType::blob:
        return false; // blobs travel by name, never inline
    }
    return false;
}

const ColumnSpec *columnNamed(const EntitySpec &entity, const QString &name)
{
    for (const ColumnSpec &column : entity.columns) {
        if (name == QLatin1String(column.name))
            return &column;
    }
    return nullptr;
}

QString checkFields(const EntitySpec &entity, const QJsonObject &fields, const QJsonObject &blobs)
{
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const ColumnSpec *column = columnNamed(entity, it.key());
        if (!column)
            return QStringLiteral("unknown field");
        if (!fitsColumn(column->type, it.value()))
            return QStringLiteral("a field of the wrong type or size");
    }
    for (auto it = blobs.begin(); it != blobs.end(); ++it) {
        const ColumnSpec *column = columnNamed(entity, it.key());
        if (!column || column->type != ColumnType::blob)
            return QStringLiteral("a blob for a field that holds none");
        if (!it.value().isString() || !(it.value().toString().isEmpty() || isBlobName(it.value().toString())))
            return QStringLiteral("a malformed blob name");
    }
    return {};
}

// Fills `change` from one change line; returns why it is refused, or nothing.
QString readChange(QByteArrayView bytes, SyncChange &change)
{
    const std::optional<QJsonObject> object = parseObject(bytes);
    if (!object)
        return QStringLiteral("a change that is not a JSON object");
    const QString op = object->value(QLatin1String("op")).toString();
    const bool upsert = op == QLatin1String("upsert");
    if (!upsert && op != QLatin1String("delete"))
        return QStringLiteral("an unknown operation");
    if (upsert ? !hasExactlyKeys(*object, {"hlc", "entity", "rid", "op", "fields", "blobs"})
               : !hasExactlyKeys(*object, {"hlc", "entity", "rid", "op"}))
        return QStringLiteral("a change of the wrong shape");
    const std::optional<HybridTime> time = HybridTime::parse(object->value(QLatin1String("hlc")).toString());
    if (!time)
        return QStringLiteral("a malformed timestamp");
    const EntitySpec *entity = syncedEntity(object->value(QLatin1String("entity")).toString());
    if (!entity)
        return QStringLiteral("an unknown entity");
    const QString recordID = object->value(QLatin1String("rid")).toString();
    if (!isSyncID(recordID))
        return QStringLiteral("a malformed record identity");
    change.time = *time;
    change.entity = QLatin1String(entity->name);
    change.recordID = recordID;
    change.operation = upsert ? SyncChange::Operation::upsert : SyncChange::Operation::remove;
    if (!upsert)
        return {};
    const QJsonValue fields = object->value(QLatin1String("fields"));
    const QJsonValue blobs = object->value(QLatin1String("blobs"));
    if (!fields.isObject() || !blobs.isObject())
        return QStringLiteral("a change of the wrong shape");
    const QString problem = checkFields(*entity, fields.toObject(), blobs.toObject());
    if (!problem.isEmpty())
        return problem;
    change.fields = fields.toObject();
    const QJsonObject blobObject = blobs.toObject();
    for (auto it = blobObject.begin(); it != blobObject.end(); ++it)
        change.blobs.insert(it.key(), it.value().toString());
    return {};
}

SegmentRead refused(const QString &reason)
{
    return {Result::refused, {}, reason};
}

} // namespace

const std::array<const EntitySpec *, 3> &syncedEntities()
{
    static const std::array<const EntitySpec *, 3> entities{&ClipItem::spec(), &Pinboard::spec(), &SourceApp::spec()};
    return entities;
}

const EntitySpec *syncedEntity(QStringView name)
{
    for (const EntitySpec *entity : syncedEntities()) {
        if (name == QLatin1String(entity->name))
            return entity;
    }
    return nullptr;
}

bool isBlobName(QStringView text)
{
    return text.size() == 64 && std::all_of(text.begin(), text.end(), isLowercaseHex);
}

QString blobNameOf(const QByteArray &bytes)
{
    return sha256Hex(bytes);
}

QByteArray Segment::encode() const
{
    QByteArray bytes = line({{QStringLiteral("format"), format},
                             {QStringLiteral("device"), device},
                             {QStringLiteral("seq"), sequence}});
    for (const SyncChange &change : changes) {
        QJsonObject object{{QStringLiteral("hlc"), change.time.toString()},
                           {QStringLiteral("entity"), change.entity},
                           {QStringLiteral("rid"), change.recordID}};
        if (change.operation == SyncChange::Operation::remove) {
            object.insert(QStringLiteral("op"), QStringLiteral("delete"));
        } else {
            object.insert(QStringLiteral("op"), QStringLiteral("upsert"));
            object.insert(QStringLiteral("fields"), change.fields);
            QJsonObject blobs;
            for (auto it = change.blobs.begin(); it != change.blobs.end(); ++it)
                blobs.insert(it.key(), it.value());
            object.insert(QStringLiteral("blobs"), blobs);
        }
        bytes += line(object);
    }
    bytes += line({{QStringLiteral("count"), changes.size()}, {QStringLiteral("sha256"), sha256Hex(bytes)}});
    return bytes;
}

SegmentRead readSegment(const QByteArray &bytes, const QString &expectedDevice, qint64 expectedSequence)
{
    if (bytes.size() > Segment::largestFile)
        return refused(QStringLiteral("too large"));

    // A newer format is told apart before anything else, however the rest looks.
    const qsizetype headerEnd = bytes.indexOf('\n');
    if (headerEnd >= 0) {
        const std::optional<QJsonObject> header = parseObject(QByteArrayView(bytes).first(headerEnd));
        const std::optional<qint64> format = header ? exactInteger(header->value(QLatin1String("format"))) : std::nullopt;
        if (format && *format > Segment::format)
            return {Result::newerFormat, {}, {}};
    }

    if (!bytes.endsWith('\n') || headerEnd == bytes.size() - 1)
        return {Result::incomplete, {}, {}};
    const qsizetype footerStart = bytes.lastIndexOf('\n', bytes.size() - 2) + 1;
    const std::optional<QJsonObject> footer =
        parseObject(QByteArrayView(bytes).sliced(footerStart, bytes.size() - 1 - footerStart));
    if (!footer || !footer->contains(QLatin1String("sha256")))
        return {Result::incomplete, {}, {}};
    if (!hasExactlyKeys(*footer, {"count", "sha256"}))
        return refused(QStringLiteral("a malformed footer"));
    if (footer->value(QLatin1String("sha256")).toString() != sha256Hex(QByteArrayView(bytes).first(footerStart)))
        return refused(QStringLiteral("damaged: its checksum does not match"));

    const std::optional<QJsonObject> header = parseObject(QByteArrayView(bytes).first(headerEnd));
    if (!header || !hasExactlyKeys(*header, {"format", "device", "seq"})
        || exactInteger(header->value(QLatin1String("format"))) != Segment::format)
        return refused(QStringLiteral("a malformed header"));
    if (header->value(QLatin1String("device")).toString() != expectedDevice
        || exactInteger(header->value(QLatin1String("seq"))) != expectedSequence)
        return refused(QStringLiteral("a header that does not match its file name"));

    SegmentRead read{Result::complete, {expectedDevice, expectedSequence, {}}, {}};
    for (qsizetype start = headerEnd + 1; start < footerStart;) {
        const qsizetype end = bytes.indexOf('\n', start);
        SyncChange change;
        const QString problem = readChange(QByteArrayView(bytes).sliced(start, end - start), change);
        if (!problem.isEmpty())
            return refused(problem);
        read.segment.changes.append(std::move(change));
        start = end + 1;
    }
    if (exactInteger(footer->value(QLatin1String("count"))) != read.segment.changes.size())
        return refused(QStringLiteral("a count that does not match its changes"));
    return read;
}

} // namespace tamo
