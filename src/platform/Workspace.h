#pragma once

#include "platform/AppInfo.h"

#include <QIcon>
#include <QList>
#include <QStringList>
#include <QObject>
#include <QUrl>

#include <functional>

namespace tamo {

// The desktop's applications: which one is in front, which one a process
// belongs to, which are installed and what they look like.
class Workspace : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Invalid when no application window is active.
    virtual AppInfo frontmostApp() const = 0;
    // The process of the front app's window; 0 when unknown.
    virtual qint64 frontmostProcessID() const = 0;
    // The app a process belongs to; invalid for an unknown process.
    virtual AppInfo appForProcess(qint64 pid) const = 0;
    virtual bool isInstalled(const QString &bundleID) const = 0;
    // Every id the app goes by, its own first: the entries that run the same
    // program (its settings dialog) are the same app to an ignore list or a rule.
    virtual QStringList sameApp(const QString &bundleID) const = 0;
    // The installed applications, as a person would pick one.
    virtual QList<AppInfo> installedApps() const = 0;
    // The app's icon; the generic application icon for an unknown id.
    virtual QIcon icon(const QString &bundleID) const = 0;
    virtual bool openURL(const QUrl &url) = 0;
    // Shows the file selected in the file manager; `notShown` runs when
    // neither a file manager nor the desktop's opener could show its folder.
    virtual void revealFile(const QString &path, std::function<void()> notShown = {}) = 0;

signals:
    // Another application came to the front.
    void appActivated(const QString &bundleID);
    // The user moved to another desktop (workspace).
    void desktopChanged();
    // Apps were installed, removed or changed: an app's name or icon may be new.
    void installedAppsChanged();
};

} // namespace tamo
