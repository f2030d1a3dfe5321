#include "app/ScreenshotWatcher.h"

#include "model/ClipDraft.h"
#include "platform/Alerts.h"
#include "platform/Pasteboard.h"
#include "platform/RegularFile.h"
#include "platform/ScreenshotFolder.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QImageReader>
#include <QTimer>
#include <QtConcurrent>

#include <tuple>

namespace tamo {

namespace {

constexpr int lookIntervalMs = 150;
// Six seconds: a screenshot tool writes its file well within that.
constexpr int maxLooks = 40;

bool hasImageSuffix(const QString &path)
{
    // Also keeps out the temporary files that tools write before renaming
    // ("shot.png.part", "shot.png.X4bGh1").
    static const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    return formats.contains(QFileInfo(path).suffix().toLower().toLatin1());
}

// PNG bytes of the image in the file; empty when it does not decode (yet),
// or is no regular file within the cap by the time it is opened.
QByteArray readAsPng(const QString &path)
{
    const FileContents file = readRegularFile(path, ScreenshotWatcher::largestFile, FileLinks::refuse);
    if (!file.ok())
        return {};
    const std::optional<ClipDraft> image = ClipDraft::fromImage(file.bytes);
    return image ? image->imageData.value_or(QByteArray()) : QByteArray();
}

} // namespace

ScreenshotWatcher::ScreenshotWatcher(ScreenshotFolder &folder, Pasteboard &pasteboard, Alerts &alerts,
                                     QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_pasteboard(pasteboard)
    , m_alerts(alerts)
{
}

ScreenshotWatcher::~ScreenshotWatcher()
{
    if (isRunning())
        stop();
}

void ScreenshotWatcher::start()
{
    if (isRunning())
        return;
    if (!m_folder.isReadable() || !m_folder.startWatching()) {
        showUnreadableFolderAlert();
        return;
    }
    m_session = std::make_unique<QObject>();
    connect(&m_folder, &ScreenshotFolder::fileAdded, m_session.get(), [this](const QString &path) { fileAdded(path); });
}

void ScreenshotWatcher::stop()
{
    m_folder.stopWatching();
    m_session.reset();
    m_newFiles.clear();
}

void ScreenshotWatcher::fileAdded(const QString &path)
{
    if (!hasImageSuffix(path) || m_newFiles.contains(path))
        return;
    m_newFiles.insert(path, NewFile());
    look(path);
}

void ScreenshotWatcher::scheduleLook(const QString &path)
{
    QTimer::singleShot(lookIntervalMs, m_session.get(), [this, path] { look(path); });
}

void ScreenshotWatcher::look(const QString &path)
{
    const auto file = m_newFiles.find(path);
    if (file == m_newFiles.end())
        return;
    const QFileInfo info(path);
    // Others can write the folder: a link, a FIFO or a file too large for a
    // screenshot is no screenshot of ours.
    if (!info.exists() || info.isSymLink() || !info.isFile() || info.size() > largestFile || ++file->looks > maxLooks) {
        m_newFiles.erase(file);
        return;
    }
    const qint64 size = info.size();
    const bool settled = size > 0 && size == file->size && size != file->failedSize;
    file->size = size;
    if (settled)
        decode(path);
    else
        scheduleLook(path);
}

void ScreenshotWatcher::decode(const QString &path)
{
    auto *watcher = new QFutureWatcher<QByteArray>(m_session.get());
    connect(watcher, &QFutureWatcherBase::finished, watcher, [this, watcher, path] {
        watcher->deleteLater();
        decoded(path, watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(readAsPng, path));
}

void ScreenshotWatcher::decoded(const QString &path, const QByteArray &png)
{
    const auto file = m_newFiles.find(path);
    if (file == m_newFiles.end())
        return;
    if (png.isEmpty()) {
        // The writer may only have paused; try again if the file grows.
        file->failedSize = file->size;
        scheduleLook(path);
        return;
    }
    m_newFiles.erase(file);
    // Not our own copy to the monitor: the screenshot is meant to be captured.
    // A failed write (another client keeping the clipboard) costs only the copy.
    std::ignore = m_pasteboard.writeItems({{{PasteboardType::png, png}}});
}

void ScreenshotWatcher::showUnreadableFolderAlert()
{
    m_alerts.runModal(AlertSpec::failure(
        QStringLiteral("TamoCove can't read your screenshot folder"),
        QStringLiteral("New screenshots are copied from “%1”. Check that this folder exists and that you can open it.")
            .arg(m_folder.path())));
}

} // namespace tamo
