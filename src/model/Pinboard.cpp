#include "model/Pinboard.h"

#include "model/PinboardPalette.h"

#include <QSet>

#include <array>

namespace tamo {

namespace {
constexpr std::array<ColumnSpec, Pinboard::ColumnCount> pinboardColumns{{
    {"id", ColumnType::uuid},
    {"name", ColumnType::text},
    {"colorIndex", ColumnType::integer},
    {"sortOrder", ColumnType::integer},
}};
} // namespace

const EntitySpec &Pinboard::spec()
{
    static const EntitySpec entity{"Pinboard", StoreFile::synced, pinboardColumns, true};
    return entity;
}

Pinboard::Pinboard(const QString &name, int colorIndex, int order, const QUuid &id)
    : m_id(id), m_name(name), m_colorIndex(qMax(0, colorIndex)), m_order(order)
{
}

void Pinboard::setName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    fieldChanged(NameColumn);
}

void Pinboard::setColorIndex(int index)
{
    index = qMax(0, index);
    if (m_colorIndex == index)
        return;
    m_colorIndex = index;
    fieldChanged(ColorIndexColumn);
}

void Pinboard::setOrder(int order)
{
    if (m_order == order)
        return;
    m_order = order;
    fieldChanged(OrderColumn);
}

QColor Pinboard::color() const
{
    return paletteEntry(m_colorIndex).color;
}

QList<PinboardPtr> Pinboard::uniquedByID(const QList<PinboardPtr> &pinboards)
{
    QList<PinboardPtr> unique;
    QSet<QUuid> seen;
    for (const PinboardPtr &pinboard : pinboards) {
        if (!seen.contains(pinboard->id())) {
            seen.insert(pinboard->id());
            unique.append(pinboard);
        }
    }
    return unique;
}

QVariant Pinboard::columnValue(int column) const
{
    switch (column) {
    case IdColumn: return m_id;
    case NameColumn: return m_name;
    case ColorIndexColumn: return m_colorIndex;
    case OrderColumn: return m_order;
    }
    return {};
}

void Pinboard::setColumnValue(int column, const QVariant &value)
{
    switch (column) {
    case IdColumn: m_id = value.toUuid(); break;
    case NameColumn: m_name = value.toString(); break;
    case ColorIndexColumn: m_colorIndex = qMax(0, value.toInt()); break;
    case OrderColumn: m_order = value.toInt(); break;
    }
}

} // namespace tamo
