#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QVariant>

#include <optional>

namespace tamo::defaultsjson {

// The JSON form of user-defaults values. JSON has no bytes or dates, so they
// travel as tagged objects: {"$data": base64} and {"$date": ISO-8601 with ms, UTC}.
// A dictionary key that starts with "$" is written with one more "$" so that
// it can never be mistaken for a tag.
//
// Storable: bool, integers, finite doubles, QString, QByteArray, valid
// QDateTime, and lists and string-keyed maps of those. Anything else has no
// JSON form and gives nullopt.
std::optional<QJsonValue> encode(const QVariant &value);

// The inverse of encode. Numbers read back as qlonglong when integral, else
// double. Null, malformed tags and lists or maps with such members give nullopt.
std::optional<QVariant> decode(const QJsonValue &json);

// The value as it reads back after a trip through the file, so that what is
// held in memory never differs from what a later launch will read.
std::optional<QVariant> normalised(const QVariant &value);

} // namespace tamo::defaultsjson
