#pragma once

#include "platform/Workspace.h"

#include <QIcon>

namespace tamo::bench {

// A machine with none of the clips' apps installed; each shows `icon`.
class NoApps final : public Workspace
{
public:
    explicit NoApps(QIcon icon = {}) : m_icon(std::move(icon)) {}

    AppInfo frontmostApp() const override { return {}; }
    qint64 frontmostProcessID() const override { return 0; }
    AppInfo appForProcess(qint64) const override { return {}; }
    bool isInstalled(const QString &) const override { return false; }
    QList<AppInfo> installedApps() const override { return {}; }
    QStringList sameApp(const QString &bundleID) const override { return {bundleID}; }
    QIcon icon(const QString &) const override { return m_icon; }
    bool openURL(const QUrl &) override { return false; }
    void revealFile(const QString &, std::function<void()>) override {}

private:
    QIcon m_icon;
};

} // namespace tamo::bench
