#pragma once

#include "platform/ScreenshotFolder.h"

#include <QFileSystemWatcher>
#include <QSet>

namespace tamo {

// The XDG Pictures folder's "Screenshots" (where GNOME saves), else Pictures
// itself, watched with QFileSystemWatcher.
class XdgScreenshotFolder final : public ScreenshotFolder
{
    Q_OBJECT
public:
    explicit XdgScreenshotFolder(QObject *parent = nullptr);
    explicit XdgScreenshotFolder(const QString &path, QObject *parent = nullptr);

    // The screenshot folder inside a Pictures folder.
    static QString locate(const QString &picturesFolder);

    QString path() const override { return m_path; }
    bool isReadable() const override;
    bool startWatching() override;
    void stopWatching() override;

private:
    QSet<QString> fileNames() const;
    void onDirectoryChanged();

    QString m_path;
    QFileSystemWatcher m_watcher;
    QSet<QString> m_known;
};

} // namespace tamo
