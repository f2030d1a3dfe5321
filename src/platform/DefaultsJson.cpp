#include "platform/DefaultsJson.h"

#include <QDateTime>
#include <QJsonArray>

#include <cmath>
#include <limits>

namespace tamo::defaultsjson {

namespace {

const QString dataTag = QStringLiteral("$data");
const QString dateTag = QStringLiteral("$date");
constexpr QChar tagMark = QLatin1Char('$');

QString escapedKey(const QString &key)
{
    return key.startsWith(tagMark) ? tagMark + key : key;
}

// An escaped dictionary key starts with "$$"; a single "$" marks a tag.
bool isTag(const QString &key)
{
    return key.startsWith(tagMark) && !key.startsWith(QStringLiteral("$$"));
}

std::optional<QJsonValue> encodeList(const QVariantList &list)
{
    QJsonArray array;
    for (const QVariant &member : list) {
        const auto json = encode(member);
        if (!json)
            return std::nullopt;
        array.append(*json);
    }
    return array;
}

template<typename Map>
std::optional<QJsonValue> encodeMap(const Map &map)
{
    QJsonObject object;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const auto json = encode(it.value());
        if (!json)
            return std::nullopt;
        object.insert(escapedKey(it.key()), *json);
    }
    return object;
}

std::optional<QVariant> decodeTagged(const QString &tag, const QJsonValue &payload)
{
    if (!payload.isString())
        return std::nullopt;
    const QString text = payload.toString();
    if (tag == dataTag) {
        auto bytes = QByteArray::fromBase64Encoding(text.toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
        if (!bytes)
            return std::nullopt;
        return QVariant(*bytes);
    }
    if (tag == dateTag) {
        const QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
        if (!date.isValid())
            return std::nullopt;
        return QVariant(date);
    }
    return std::nullopt;
}

std::optional<QVariant> decodeObject(const QJsonObject &object)
{
    if (object.size() == 1 && isTag(object.begin().key()))
        return decodeTagged(object.begin().key(), object.begin().value());
    QVariantMap map;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (isTag(it.key()))
            return std::nullopt;  // a tag among other keys is nothing we wrote
        const auto member = decode(it.value());
        if (!member)
            return std::nullopt;
        map.insert(it.key().startsWith(tagMark) ? it.key().mid(1) : it.key(), *member);
    }
    return QVariant(map);
}

} // namespace

std::optional<QJsonValue> encode(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return QJsonValue(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return QJsonValue(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong();
        if (number <= qulonglong(std::numeric_limits<qint64>::max()))
            return QJsonValue(qint64(number));
        return QJsonValue(double(number));
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            return std::nullopt;
        return QJsonValue(number);
    }
    case QMetaType::QString:
        return QJsonValue(value.toString());
    case QMetaType::QByteArray:
        return QJsonObject{{dataTag, QString::fromLatin1(value.toByteArray().toBase64())}};
    case QMetaType::QDateTime: {
        const QDateTime date = value.toDateTime();
        if (!date.isValid())
            return std::nullopt;
        return QJsonObject{{dateTag, date.toUTC().toString(Qt::ISODateWithMs)}};
    }
    case QMetaType::QStringList:
    case QMetaType::QVariantList:
        return encodeList(value.toList());
    case QMetaType::QVariantMap:
        return encodeMap(value.toMap());
    case QMetaType::QVariantHash:
        return encodeMap(value.toHash());
    default:
        return std::nullopt;
    }
}

std::optional<QVariant> decode(const QJsonValue &json)
{
    switch (json.type()) {
    case QJsonValue::Bool:
    case QJsonValue::Double:  // integral numbers come back as qlonglong
    case QJsonValue::String:
        return json.toVariant();
    case QJsonValue::Array: {
        QVariantList list;
        for (const QJsonValue &member : json.toArray()) {
            const auto decoded = decode(member);
            if (!decoded)
                return std::nullopt;
            list.append(*decoded);
        }
        return QVariant(list);
    }
    case QJsonValue::Object:
        return decodeObject(json.toObject());
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return std::nullopt;
}

std::optional<QVariant> normalised(const QVariant &value)
{
    const auto json = encode(value);
    return json ? decode(*json) : std::nullopt;
}

} // namespace tamo::defaultsjson
