#pragma once

#include "platform/Workspace.h"

#include <QHash>
#include <QList>

namespace tamo::testing {

// Apps the test installs and brings to the front; opened URLs and revealed
// files are recorded instead of opened.
class FakeWorkspace final : public Workspace
{
    Q_OBJECT
public:
    // Installs the app, or changes what it looks like, and announces it.
    void install(const AppInfo &app, const QIcon &icon = {})
    {
        m_installed.insert(app.bundleID, {app, icon});
        emit installedAppsChanged();
    }
    void setProcess(qint64 pid, const AppInfo &app) { m_processes.insert(pid, app); }
    // The ids, first one's own first, that name one program.
    void setSameApp(const QStringList &ids) { m_sameApps.append(ids); }

    // Brings the app to the front and announces it, as the desktop does.
    void activate(const AppInfo &app, qint64 pid = 0)
    {
        const bool changed = app.bundleID != m_frontmost.bundleID;
        m_frontmost = app;
        m_frontmostPid = pid;
        if (changed)
            emit appActivated(app.bundleID);
    }

    AppInfo frontmostApp() const override { return m_frontmost; }
    qint64 frontmostProcessID() const override { return m_frontmostPid; }
    void switchDesktop() { emit desktopChanged(); }
    AppInfo appForProcess(qint64 pid) const override { return m_processes.value(pid); }
    bool isInstalled(const QString &bundleID) const override { return m_installed.contains(bundleID); }
    QStringList sameApp(const QString &bundleID) const override
    {
        for (QStringList ids : m_sameApps) {
            if (ids.removeOne(bundleID))
                return QStringList{bundleID} + ids;
        }
        return {bundleID};
    }
    QList<AppInfo> installedApps() const override
    {
        QList<AppInfo> apps;
        for (const Installed &installed : m_installed)
            apps.append(installed.app);
        return apps;
    }
    QIcon icon(const QString &bundleID) const override { return m_installed.value(bundleID).icon; }
    bool openURL(const QUrl &url) override
    {
        m_openedURLs.append(url);
        return true;
    }
    void revealFile(const QString &path, std::function<void()> notShown = {}) override
    {
        m_revealedFiles.append(path);
        if (!m_canReveal && notShown)
            notShown();
    }
    // As without a file manager or an opener for folders.
    void setCanReveal(bool can) { m_canReveal = can; }

    const QList<QUrl> &openedURLs() const { return m_openedURLs; }
    const QStringList &revealedFiles() const { return m_revealedFiles; }

private:
    struct Installed
    {
        AppInfo app;
        QIcon icon;
    };
    bool m_canReveal = true;
    QHash<QString, Installed> m_installed;
    QHash<qint64, AppInfo> m_processes;
    QList<QStringList> m_sameApps;
    AppInfo m_frontmost;
    qint64 m_frontmostPid = 0;
    QList<QUrl> m_openedURLs;
    QStringList m_revealedFiles;
};

} // namespace tamo::testing
