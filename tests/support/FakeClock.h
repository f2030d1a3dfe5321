#pragma once

#include "platform/Clock.h"

namespace tamo::testing {

// A clock that only moves when the test moves it.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 3, 15), QTime(12, 0)))
        : m_now(std::move(start)) {}

    QDateTime now() const override { return m_now; }
    void set(const QDateTime &now) { m_now = now; }
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

} // namespace tamo::testing
