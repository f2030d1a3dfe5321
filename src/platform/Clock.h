#pragma once

#include <QDateTime>

namespace tamo {

// The one source of "now" for everything that stores or compares dates, so
// tests can pin time instead of sleeping.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace tamo
