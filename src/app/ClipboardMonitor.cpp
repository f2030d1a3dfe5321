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

std::optional<ClipDraft> capture(PasteboardContents &contents, const AppInfo &source,
                                 const CaptureRules::Settings &settings)
{
    PasteboardCopy copy(contents);
    if (CaptureRules::dropsCopy(copy, source, settings))
        return std::nullopt;
    return CaptureDrafts::fromCopy(copy, source);
}

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
    // Taken now: by the time the copy is read, another app may be in front.
    const AppInfo source = sourceApp();
    const CaptureRules::Settings settings = CaptureRules::Settings::from(m_defaults);
    // Reading waits for the owning app, which may be slow or hostile.
    std::shared_ptr<PasteboardContents> contents = m_pasteboard.contents();
    m_queue.append(QtConcurrent::run([contents, source, settings] { return capture(*contents, source, settings); }));
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
