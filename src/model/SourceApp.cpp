#include "model/SourceApp.h"

#include <array>

namespace tamo {

namespace {
constexpr std::array<ColumnSpec, SourceApp::ColumnCount> sourceAppColumns{{
    {"id", ColumnType::uuid},
    {"bundleID", ColumnType::text},
    {"name", ColumnType::text},
    {"iconData", ColumnType::blob},
    {"tintHex", ColumnType::text},
}};
} // namespace

const EntitySpec &SourceApp::spec()
{
    static const EntitySpec entity{"SourceApp", StoreFile::synced, sourceAppColumns, true};
    return entity;
}

SourceApp::SourceApp(const QString &bundleID, const std::optional<QString> &name,
                     const std::optional<QByteArray> &iconData, const QString &tintHex)
    : m_bundleID(bundleID), m_name(name), m_iconData(iconData), m_tintHex(tintHex)
{
}

QVariant SourceApp::columnValue(int column) const
{
    switch (column) {
    case IdColumn: return m_id;
    case BundleIDColumn: return m_bundleID;
    case NameColumn: return m_name ? QVariant(*m_name) : QVariant();
    case IconDataColumn: return m_iconData ? QVariant(*m_iconData) : QVariant();
    case TintHexColumn: return m_tintHex;
    }
    return {};
}

void SourceApp::setColumnValue(int column, const QVariant &value)
{
    const bool null = !value.isValid() || value.isNull();
    switch (column) {
    case IdColumn: m_id = value.toUuid(); break;
    case BundleIDColumn: m_bundleID = value.toString(); break;
    case NameColumn: m_name = null ? std::nullopt : std::optional(value.toString()); break;
    case IconDataColumn: m_iconData = null ? std::nullopt : std::optional(value.toByteArray()); break;
    case TintHexColumn: m_tintHex = value.toString(); break;
    }
}

} // namespace tamo
