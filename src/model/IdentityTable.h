#pragma once

#include <QHash>

#include <memory>

namespace tamo {

class Record;

// The records of one entity that a context handed out, by row, held weakly so
// that each lives as long as someone uses it. A record nobody holds leaves a
// dead entry, and one made by make_shared keeps its whole storage until that
// entry goes: dead entries are swept once the table has doubled since the
// last sweep, so it stays within twice what is in use.
class IdentityTable
{
public:
    std::shared_ptr<Record> find(qint64 row) const { return m_records.value(row).lock(); }
    void remember(qint64 row, const std::shared_ptr<Record> &record);
    std::shared_ptr<Record> take(qint64 row) { return m_records.take(row).lock(); }
    void remove(qint64 row) { m_records.remove(row); }
    // Live and dead entries alike.
    qsizetype size() const { return m_records.size(); }
    // Entries the sweeps have looked at so far: a few times those remembered.
    qint64 sweptEntries() const { return m_swept; }

private:
    static constexpr qsizetype leastSweepSize = 256;

    QHash<qint64, std::weak_ptr<Record>> m_records;
    qsizetype m_sweepAbove = leastSweepSize;
    qint64 m_swept = 0;
};

} // namespace tamo
