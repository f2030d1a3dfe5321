#include "model/IdentityTable.h"

#include "model/Record.h"

#include <algorithm>

namespace tamo {

void IdentityTable::remember(qint64 row, const std::shared_ptr<Record> &record)
{
    m_records.insert(row, record);
    if (m_records.size() <= m_sweepAbove)
        return;
    m_swept += m_records.size();
    m_records.removeIf([](const auto &entry) { return entry.value().expired(); });
    m_sweepAbove = std::max(leastSweepSize, 2 * m_records.size());
}

} // namespace tamo
