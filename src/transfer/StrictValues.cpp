#include "transfer/StrictValues.h"

#include <QStringDecoder>


namespace tamo::strict {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Reads exactly `count` digits at `pos`, moving past them.
std::optional<int> digits(QStringView text, qsizetype &pos, int count)
{
    if (pos + count > text.size())
        return std::nullopt;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[pos + i];
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    pos += count;
    return value;
}

bool isHexDigit(QChar c)
{
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool expect(QStringView text, qsizetype &pos, char16_t c)
{
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

} // namespace

std::optional<QString> decodeUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QDateTime> parseInternetDate(QStringView text)
{
    qsizetype pos = 0;
    const auto year = digits(text, pos, 4);
    if (!year || !expect(text, pos, u'-'))
        return std::nullopt;
    const auto month = digits(text, pos, 2);
    if (!month || !expect(text, pos, u'-'))
        return std::nullopt;
    const auto day = digits(text, pos, 2);
    if (!day || !(expect(text, pos, u'T') || expect(text, pos, u't')))
        return std::nullopt;
    const auto hour = digits(text, pos, 2);
    if (!hour || !expect(text, pos, u':'))
        return std::nullopt;
    const auto minute = digits(text, pos, 2);
    if (!minute || !expect(text, pos, u':'))
        return std::nullopt;
    const auto second = digits(text, pos, 2);
    if (!second)
        return std::nullopt;
    int millisecond = 0;
    if (expect(text, pos, u'.')) {
        const qsizetype start = pos;
        while (pos < text.size() && isDigit(text[pos])) {
            if (pos - start < 3)
                millisecond = millisecond * 10 + (text[pos].unicode() - u'0');
            ++pos;
        }
        if (pos == start)
            return std::nullopt;
        for (qsizetype n = pos - start; n < 3; ++n)
            millisecond *= 10;
    }
    int offsetSeconds = 0;
    if (!(expect(text, pos, u'Z') || expect(text, pos, u'z'))) {
        const bool negative = pos < text.size() && text[pos] == u'-';
        if (!(expect(text, pos, u'+') || expect(text, pos, u'-')))
            return std::nullopt;
        const auto offsetHour = digits(text, pos, 2);
        if (!offsetHour || !expect(text, pos, u':'))
            return std::nullopt;
        const auto offsetMinute = digits(text, pos, 2);
        if (!offsetMinute || *offsetHour > 23 || *offsetMinute > 59)
            return std::nullopt;
        offsetSeconds = (*offsetHour * 60 + *offsetMinute) * 60 * (negative ? -1 : 1);
    }
    if (pos != text.size())
        return std::nullopt;
    const QDate date(*year, *month, *day);
    const QTime time(*hour, *minute, *second, millisecond);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC).addSecs(-offsetSeconds);
}

QString formatInternetDate(const QDateTime &date)
{
    return date.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

std::optional<QUuid> parseUuid(QStringView text)
{
    static constexpr int groups[] = {8, 4, 4, 4, 12};
    qsizetype pos = 0;
    for (int i = 0; i < 5; ++i) {
        if (i > 0 && !expect(text, pos, u'-'))
            return std::nullopt;
        for (int n = 0; n < groups[i]; ++n, ++pos) {
            if (pos >= text.size() || !isHexDigit(text[pos]))
                return std::nullopt;
        }
    }
    if (pos != text.size())
        return std::nullopt;
    return QUuid::fromString(text);
}

} // namespace tamo::strict
