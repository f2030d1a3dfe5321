#pragma once

#include <QString>

namespace tamo {

// Where TamoCove keeps its files. The default follows the XDG folders; tests
// pass a root of their own so nothing touches the user's home.
class AppPaths
{
public:
    AppPaths();                              // XDG data, cache and config folders
    explicit AppPaths(const QString &root);  // root/data, root/cache, root/config

    QString storeDirectory() const { return m_store; }   // holds Tamo.store and TamoLocal.store
    QString cacheDirectory() const { return m_cache; }
    QString configDirectory() const { return m_config; } // holds defaults.json

private:
    QString m_store;
    QString m_cache;
    QString m_config;
};

} // namespace tamo
