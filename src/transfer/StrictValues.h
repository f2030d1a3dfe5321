#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QUuid>

#include <optional>

// Parsers for values read from files other people hand us. Qt's own are
// lenient (they replace bad bytes, assume local time, accept braces), which
// would let a damaged file pass as a different one.
namespace tamo::strict {

// Nothing when the bytes are not well-formed UTF-8 (a leading byte-order mark is allowed).
std::optional<QString> decodeUtf8(const QByteArray &bytes);

// An RFC 3339 date-time with its zone ("Z" or ±HH:MM) and an optional
// fraction of the second, kept to the millisecond.
std::optional<QDateTime> parseInternetDate(QStringView text);
// UTC with milliseconds: 2025-03-04T05:06:07.890Z.
QString formatInternetDate(const QDateTime &date);

// 8-4-4-4-12 hexadecimal digits, either case, nothing around them.
std::optional<QUuid> parseUuid(QStringView text);

} // namespace tamo::strict
