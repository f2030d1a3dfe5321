#include "model/Record.h"

#include "model/ModelContext.h"

namespace tamo {

bool Record::isGone() const
{
    return m_gone || (m_rowID != 0 && !m_context);
}

bool Record::isInserted() const
{
    return !m_context.isNull();
}

void Record::fieldChanged(int column)
{
    if (!m_context)
        return;
    m_dirty |= uint64_t(1) << column;
    m_context->noteChanged(this);
}

std::optional<QByteArray> Record::loadLazyColumn(int column) const
{
    if (!m_context || m_rowID == 0)
        return std::nullopt;
    return m_context->loadColumn(*this, column);
}

} // namespace tamo
