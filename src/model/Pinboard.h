#pragma once

#include "model/Record.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QUuid>

#include <memory>

namespace tamo {

// A named, coloured collection of pinned clips. Sync can leave several records
// with one id; lists of pinboards go through uniquedByID.
class Pinboard final : public Record
{
public:
    enum Column { IdColumn, NameColumn, ColorIndexColumn, OrderColumn, ColumnCount };

    // Not inserted anywhere; the caller inserts it.
    Pinboard(const QString &name, int colorIndex, int order, const QUuid &id = QUuid::createUuid());

    static const EntitySpec &spec();
    const EntitySpec &entity() const override { return spec(); }

    QUuid id() const { return m_id; }
    QString name() const { return m_name; }
    void setName(const QString &name);
    int colorIndex() const { return m_colorIndex; }
    void setColorIndex(int index);
    int order() const { return m_order; }
    void setOrder(int order);

    // The palette colour at colorIndex, modulo the palette's size.
    QColor color() const;

    static QList<std::shared_ptr<Pinboard>> uniquedByID(const QList<std::shared_ptr<Pinboard>> &pinboards);

private:
    friend class ModelContext;
    Pinboard() = default;

    QVariant columnValue(int column) const override;
    void setColumnValue(int column, const QVariant &value) override;

    QUuid m_id;
    QString m_name;
    int m_colorIndex = 0;
    int m_order = 0;
};

using PinboardPtr = std::shared_ptr<Pinboard>;

} // namespace tamo
