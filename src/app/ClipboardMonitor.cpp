#include "app/ClipboardMonitor.h"

#include "app/CaptureDrafts.h"
#include "app/CaptureRules.h"
#include "app/PasteboardCopy.h"
#include "platform/AppInfo.h"
#include "platform/Pasteboard.h"
#include "platform/Workspace.h"

#include <QtConcurrent>

namespace tamo {

namespace {

constexpr int pollIntervalMs = 300;

} // namespace

ClipboardMonitor::ClipboardMonitor(Pasteboard &pasteboard, Workspace &workspace, const Defaults &defaults,
                                   QObject *parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_workspace(workspace)
    , m_defaults(defaults)
    , m_changeCount(pasteboard.changeCount())
{
    m_poll.setInterval(pollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &ClipboardMonitor::check);
    connect(&m_queue, &CaptureQueue::ready, this, &ClipboardMonitor::captured);
}

void ClipboardMonitor::start()
{
    if (m_poll.isActive())
        return;
    m_poll.start();
    // Queued: our own write announces its change from inside the write,
    // before the writer can call skipChange.
    m_changedConnection =
        connect(&m_pasteboard, &Pasteboard::changed, this, &ClipboardMonitor::check, Qt::QueuedConnection);
}

void ClipboardMonitor::stop()
{
    m_poll.stop();
    disconnect(m_changedConnection);
}

void ClipboardMonitor::skipChange(int changeCount)
{
    if (changeCount > m_changeCount)
        m_ownChanges.insert(changeCount);
}

void ClipboardMonitor::check()
{
    const int changeCount = m_pasteboard.changeCount();
    if (changeCount == m_changeCount)
        return;
    m_changeCount = changeCount;
    const bool ownWrite = m_ownChanges.remove(changeCount);
    m_ownChanges.removeIf([changeCount](int own) { return own < changeCount; });
    if (!ownWrite)
        handleCopy();
}

void ClipboardMonitor::handleCopy()
{
    // Taken now: by the time an image is decoded, another app may be in front.
    const AppInfo source = sourceApp();
    PasteboardCopy copy(m_pasteboard);
    if (CaptureRules::dropsCopy(copy, source, m_defaults))
        return;

    CaptureDrafts::Capture capture = CaptureDrafts::fromCopy(copy, source);
    if (const auto *draft = std::get_if<ClipDraft>(&capture))
        m_queue.append(*draft);
    else if (auto *image = std::get_if<CaptureDrafts::PendingImage>(&capture))
        m_queue.append(QtConcurrent::run([image = std::move(*image)] { return image.decode(); }));
}

AppInfo ClipboardMonitor::sourceApp() const
{
    if (const std::optional<qint64> owner = m_pasteboard.ownerProcessID()) {
        if (AppInfo app = m_workspace.appForProcess(*owner); app.isValid())
            return app;
    }
    return m_workspace.frontmostApp();
}

} // namespace tamo
