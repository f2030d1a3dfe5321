#pragma once

#include <QHash>
#include <QObject>

#include <memory>

namespace tamo {

class Alerts;
class Pasteboard;
class ScreenshotFolder;

// Copies each new screenshot to the clipboard as PNG, where the clipboard
// monitor captures it like any other copy. A new file is read once it is
// complete: its size the same at two looks 150 ms apart and its image
// readable. Files that never get there, and any that is no regular file
// (a link included) or is larger than largestFile, are dropped without a word.
class ScreenshotWatcher : public QObject
{
    Q_OBJECT

public:
    // Far above a screenshot of the largest screens.
    static constexpr qint64 largestFile = 64 * 1024 * 1024;

    ScreenshotWatcher(ScreenshotFolder &folder, Pasteboard &pasteboard, Alerts &alerts, QObject *parent = nullptr);
    ~ScreenshotWatcher() override;

    // Does nothing while running. When the folder cannot be read, says so in
    // an alert and stays stopped.
    void start();
    // Files still being waited for are forgotten.
    void stop();
    bool isRunning() const { return m_session != nullptr; }

private:
    struct NewFile
    {
        qint64 size = -1;
        qint64 failedSize = -1; // the size at which it last failed to decode
        int looks = 0;
    };

    void fileAdded(const QString &path);
    void scheduleLook(const QString &path);
    void look(const QString &path);
    void decode(const QString &path);
    void decoded(const QString &path, const QByteArray &png);
    void showUnreadableFolderAlert();

    ScreenshotFolder &m_folder;
    Pasteboard &m_pasteboard;
    Alerts &m_alerts;
    // Lives while running; the pending looks and decodes hang off it, so
    // stopping cancels them.
    std::unique_ptr<QObject> m_session;
    QHash<QString, NewFile> m_newFiles;
};

} // namespace tamo
