#include "platform/AppPaths.h"

#include <QStandardPaths>

namespace tamo {

namespace {
QString standardFolder(QStandardPaths::StandardLocation location, const QString &leaf)
{
    return QStandardPaths::writableLocation(location) + QLatin1Char('/') + leaf;
}
} // namespace

AppPaths::AppPaths()
    : m_store(standardFolder(QStandardPaths::GenericDataLocation, QStringLiteral("Tamo")))
    , m_cache(standardFolder(QStandardPaths::GenericCacheLocation, QStringLiteral("Tamo")))
    , m_config(standardFolder(QStandardPaths::GenericConfigLocation, QStringLiteral("TamoCove")))
{
}

AppPaths::AppPaths(const QString &root)
    : m_store(root + QStringLiteral("/data/Tamo"))
    , m_cache(root + QStringLiteral("/cache/Tamo"))
    , m_config(root + QStringLiteral("/config/TamoCove"))
{
}

} // namespace tamo
