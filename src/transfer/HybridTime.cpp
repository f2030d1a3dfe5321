#include "transfer/HybridTime.h"

#include <QRegularExpression>

namespace tamo {

namespace {

// Far beyond any real clock, small enough that a counter can never overflow.
constexpr qint64 largestMillis = 1'000'000'000'000'000;
constexpr qint64 largestCounter = 1'000'000'000;
// A clock's counter stays below this, far from what readers refuse; it
// grows only with events within one millisecond, or while the wall clock
// lags behind a stamp within the drift bound.
constexpr qint64 largestTakenCounter = largestCounter / 2;

} // namespace

bool isLowercaseHex(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

bool isSyncID(QStringView text)
{
    if (text.size() != 36)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != QLatin1Char('-') : !isLowercaseHex(text[i]))
            return false;
    }
    return true;
}

QString HybridTime::toString() const
{
    return QStringLiteral("%1-%2-%3").arg(millis).arg(counter).arg(device);
}

std::optional<HybridTime> HybridTime::parse(QStringView text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,16})-([0-9]{1,10})-(.+)$"));
    const QRegularExpressionMatch match = pattern.match(text.toString());
    if (!match.hasMatch())
        return std::nullopt;
    HybridTime time{match.capturedView(1).toLongLong(), match.capturedView(2).toLongLong(), match.captured(3)};
    if (time.millis >= largestMillis || time.counter >= largestCounter || !isSyncID(time.device))
        return std::nullopt;
    return time;
}

HybridClock::HybridClock(QString device, HybridTime last)
    : m_last(std::move(last))
    , m_startMillis(m_last.millis)
{
    m_last.device = std::move(device);
}

HybridTime HybridClock::tick(qint64 wallMillis)
{
    if (wallMillis > m_last.millis) {
        m_last.millis = wallMillis;
        m_last.counter = 0;
    } else {
        ++m_last.counter;
    }
    keepReadable();
    return m_last;
}

bool HybridClock::observe(const HybridTime &remote, qint64 wallMillis)
{
    if (isFarAhead(remote, reference(wallMillis)))
        return false;
    if (remote.millis > m_last.millis) {
        m_last.millis = remote.millis;
        m_last.counter = remote.counter + 1;
    } else if (remote.millis == m_last.millis) {
        m_last.counter = std::max(m_last.counter, remote.counter) + 1;
    }
    keepReadable();
    return true;
}

bool HybridClock::isFarAhead(const HybridTime &time, qint64 referenceMillis)
{
    return time.millis - referenceMillis > largestDriftMillis || time.counter >= largestTakenCounter;
}

bool HybridClock::isImpossible(const HybridTime &time, qint64 wallMillis)
{
    constexpr qint64 century = 100 * 366 * largestDriftMillis;
    return time.millis - wallMillis > century || time.counter >= largestTakenCounter;
}

// The next millisecond comes after every stamp of this one.
void HybridClock::keepReadable()
{
    if (m_last.counter < largestTakenCounter)
        return;
    ++m_last.millis;
    m_last.counter = 0;
}

} // namespace tamo
