#pragma once

#include <QString>

#include <algorithm>
#include <optional>
#include <utility>

namespace tamo {

// A hybrid logical timestamp: wall-clock milliseconds, a counter for events
// within one millisecond (or while the wall clock lags behind what was seen),
// and the device that made it, which breaks every remaining tie.
struct HybridTime
{
    qint64 millis = 0;
    qint64 counter = 0;
    QString device;

    bool operator==(const HybridTime &) const = default;
    bool operator<(const HybridTime &other) const
    {
        if (millis != other.millis || counter != other.counter)
            return std::pair(millis, counter) < std::pair(other.millis, other.counter);
        return device < other.device;
    }

    QString toString() const;
    // Strict: "<millis>-<counter>-<device id>", nothing else.
    static std::optional<HybridTime> parse(QStringView text);
};

// Hands out timestamps that only move forward and that come after every
// timestamp this device has seen from others, so a device whose clock is
// behind still orders its later edits after what it has already seen. A
// stamp far ahead of this machine's wall clock (a broken clock, or a hostile
// file) never moves it, and its own stamps always stay within what every
// reader takes.
class HybridClock
{
public:
    // How far ahead of the wall clock a stamp may be and still be taken.
    static constexpr qint64 largestDriftMillis = 24 * 60 * 60 * 1000;

    explicit HybridClock(QString device, HybridTime last = {});

    HybridTime tick(qint64 wallMillis);
    // Takes a remote stamp in; false, leaving the clock as it was, when the
    // stamp is far ahead of reference(wallMillis).
    bool observe(const HybridTime &remote, qint64 wallMillis);
    const HybridTime &last() const { return m_last; }

    // What a stamp is measured against: the wall clock, or where this clock
    // stood when it started, should the wall clock have been set back since.
    qint64 reference(qint64 wallMillis) const { return std::max(wallMillis, m_startMillis); }
    // More than the drift bound ahead of `referenceMillis`, or so near the
    // counter's limit that stamps after it could pass it.
    static bool isFarAhead(const HybridTime &time, qint64 referenceMillis);
    // A stamp no honest clock gives: near the counter's limit, or a century
    // ahead of the wall clock.
    static bool isImpossible(const HybridTime &time, qint64 wallMillis);

private:
    void keepReadable();

    HybridTime m_last;
    qint64 m_startMillis;
};

// A device or record identity: a lowercase UUID without braces.
bool isSyncID(QStringView text);
bool isLowercaseHex(QChar c);

} // namespace tamo
