#include "app/RelativeDate.h"

#include <array>

namespace tamo {

namespace {

struct Unit
{
    qint64 seconds;
    const char *name;
    const char *past;   // the named form for one unit back
    const char *future; // and one unit ahead
};

constexpr std::array<Unit, 6> units{{
    {365 * 86400, "year", "last year", "next year"},
    {30 * 86400, "month", "last month", "next month"},
    {7 * 86400, "week", "last week", "next week"},
    {86400, "day", "yesterday", "tomorrow"},
    {3600, "hour", nullptr, nullptr},
    {60, "minute", nullptr, nullptr},
}};

} // namespace

QString relativeDateText(const QDateTime &date, const QDateTime &now)
{
    const qint64 delta = date.secsTo(now);
    const bool past = delta >= 0;
    const qint64 span = past ? delta : -delta;
    if (span < 1)
        return QStringLiteral("now");
    for (const Unit &unit : units) {
        if (span < unit.seconds)
            continue;
        const qint64 count = span / unit.seconds;
        if (count == 1 && unit.past)
            return QLatin1String(past ? unit.past : unit.future);
        const QString amount = QStringLiteral("%1 %2%3").arg(count).arg(QLatin1String(unit.name),
                                                                 count == 1 ? QString() : QStringLiteral("s"));
        return past ? amount + QStringLiteral(" ago") : QStringLiteral("in ") + amount;
    }
    const QString amount = QStringLiteral("%1 second%2").arg(span).arg(span == 1 ? QString() : QStringLiteral("s"));
    return past ? amount + QStringLiteral(" ago") : QStringLiteral("in ") + amount;
}

} // namespace tamo
