#include "app/ClipboardMonitor.h"

#include "app/CaptureDrafts.h"
#include "app/CaptureRules.h"
#include "app/PasteboardCopy.h"
#include "model/SettingsKeys.h"
#include "platform/AppInfo.h"
#include "platform/Defaults.h"
#include "platform/HeapSettings.h"
#include "platform/Pasteboard.h"
#include "platform/Workspace.h"

#include <QtConcurrent>

namespace tamo {

namespace {

constexpr int pollIntervalMs = 300;
constexpr qsizetype manyFiles = 1000;

std::optional<ClipDraft> capture(PasteboardContents &contents, const AppInfo &source,
                                 const CaptureRules::Settings &settings)
{
    PasteboardCopy copy(contents);
    if (CaptureRules::dropsCopy(copy, source, settings))
        return std::nullopt;
    std::optional<ClipDraft> draft = CaptureDrafts::fromCopy(copy, source);
    if (!draft)
        return std::nullopt;
    draft->contentHash = contentHashOf(*draft);
    // Reading the list made and freed a few small blocks a file.
    if (draft->filePaths.size() >= manyFiles)
        giveFreedHeapBack();
    return draft;
}

// An app that selects and copies at once puts the same text on both.
bool repeatsClipboard(PasteboardContents &selection, PasteboardContents &clipboard)
{
    const std::optional<QString> text = selection.string();
    return text && text == clipboard.string();
}

// On a worker thread, as soon as the copy is noticed.
void readAhead(PasteboardContents &contents)
{
    PasteboardCopy copy(contents);
    // A password is not held for a moment longer than it takes to drop it.
    if (CaptureRules::hasPrivacyMarker(copy))
        return;
    // The pages the browser-password rule looks at.
    copy.data(PasteboardType::chromiumSourceURL);
    copy.data(PasteboardType::firefoxSourceURL);
    CaptureDrafts::readAhead(copy);
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
    m_pasteboard.setReadAhead(readAhead);
    // Queued: our own write announces its change from inside the write,
    // before the writer can call skipChange.
    m_changedConnection =
        connect(&m_pasteboard, &Pasteboard::changed, this, &ClipboardMonitor::check, Qt::QueuedConnection);
    m_selectionConnection =
        connect(&m_pasteboard, &Pasteboard::selectionSettled, this, &ClipboardMonitor::handleSelection);
    m_settingConnection = connect(&m_defaults, &Defaults::valueChanged, this, [this](const QString &key) {
        if (key == keys::saveAutomaticCopies)
            followSelection();
    });
    followSelection();
}

void ClipboardMonitor::stop()
{
    m_poll.stop();
    m_pasteboard.setReadAhead({});
    disconnect(m_changedConnection);
    disconnect(m_selectionConnection);
    disconnect(m_settingConnection);
    m_pasteboard.setFollowsSelection(false);
}

qsizetype ClipboardMonitor::finish(QDeadlineTimer deadline)
{
    if (m_poll.isActive()) {
        m_pasteboard.announceNoticedChanges();
        check();
        stop();
    }
    const qsizetype left = m_queue.finish(deadline);
    m_pasteboard.abandonReads();
    return left;
}

void ClipboardMonitor::followSelection()
{
    m_pasteboard.setFollowsSelection(m_defaults.boolValue(keys::saveAutomaticCopies));
}

void ClipboardMonitor::skipChange(int changeCount)
{
    if (changeCount > m_changeCount)
        m_ownChanges.insert(changeCount);
}

void ClipboardMonitor::check()
{
    if (m_pasteboard.changeCount() == m_changeCount)
        return;
    // Each change in turn: a busy main thread comes here once for a burst.
    for (const PasteboardChange &change : m_pasteboard.changesSince(m_changeCount)) {
        const bool ownWrite = m_ownChanges.remove(change.changeCount);
        m_ownChanges.removeIf([&](int own) { return own < change.changeCount; });
        if (!ownWrite && change.contents)
            handleCopy(change);
    }
    m_changeCount = m_pasteboard.changeCount();
}

void ClipboardMonitor::handleCopy(const PasteboardChange &change)
{
    // Taken now: by the time the copy is read, another app may be in front.
    const AppInfo source = sourceApp(change);
    const CaptureRules::Settings settings = CaptureRules::Settings::from(m_defaults, m_workspace);
    // Reading waits for the owning app, which may be slow or hostile.
    m_queue.append(QtConcurrent::run(
        [contents = change.contents, source, settings] { return capture(*contents, source, settings); }));
}

void ClipboardMonitor::handleSelection(const PasteboardChange &change)
{
    const CaptureRules::Settings settings = CaptureRules::Settings::from(m_defaults, m_workspace);
    if (!settings.saveAutomaticCopies || !change.contents)
        return;
    const AppInfo source = sourceApp(change);
    m_queue.append(QtConcurrent::run([selection = change.contents, clipboard = m_pasteboard.contents(), source,
                                      settings]() -> std::optional<ClipDraft> {
        if (repeatsClipboard(*selection, *clipboard))
            return std::nullopt;
        return capture(*selection, source, settings);
    }));
}

AppInfo ClipboardMonitor::sourceApp(const PasteboardChange &change) const
{
    if (const std::optional<qint64> owner = change.ownerProcessID) {
        if (AppInfo app = m_workspace.appForProcess(*owner); app.isValid())
            return app;
    }
    return m_workspace.frontmostApp();
}

} // namespace tamo
