#pragma once

#include "model/Record.h"

#include <QByteArray>
#include <QString>
#include <QUuid>

#include <memory>
#include <optional>

namespace tamo {

// An app that clips came from, with its icon and tint, kept so that machines
// without the app installed can still show it.
class SourceApp final : public Record
{
public:
    enum Column { IdColumn, BundleIDColumn, NameColumn, IconDataColumn, TintHexColumn, ColumnCount };

    SourceApp(const QString &bundleID, const std::optional<QString> &name,
              const std::optional<QByteArray> &iconData, const QString &tintHex);

    static const EntitySpec &spec();
    const EntitySpec &entity() const override { return spec(); }

    QUuid id() const { return m_id; }
    QString bundleID() const { return m_bundleID; }
    const std::optional<QString> &name() const { return m_name; }
    const std::optional<QByteArray> &iconData() const { return m_iconData; }
    QString tintHex() const { return m_tintHex; }

private:
    friend class ModelContext;
    SourceApp() = default;

    QVariant columnValue(int column) const override;
    void setColumnValue(int column, const QVariant &value) override;

    QUuid m_id = QUuid::createUuid();
    QString m_bundleID;
    std::optional<QString> m_name;
    std::optional<QByteArray> m_iconData;
    QString m_tintHex;
};

using SourceAppPtr = std::shared_ptr<SourceApp>;

} // namespace tamo
