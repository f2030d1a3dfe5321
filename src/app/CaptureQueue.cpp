#include "app/CaptureQueue.h"

#include <QFutureWatcher>

namespace tamo {

void CaptureQueue::append(const QFuture<std::optional<ClipDraft>> &build)
{
    m_waiting.push_back(build);
    // Finished futures are delivered from the event loop, never inside the
    // caller's append.
    auto *watcher = new QFutureWatcher<std::optional<ClipDraft>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        deliverFinished();
    });
    watcher->setFuture(build);
}

void CaptureQueue::deliverFinished()
{
    while (!m_waiting.empty() && m_waiting.front().isFinished()) {
        // Taken off before the signal: a receiver may append.
        const QFuture<std::optional<ClipDraft>> build = m_waiting.front();
        m_waiting.pop_front();
        if (build.resultCount() == 0) // cancelled
            continue;
        if (const std::optional<ClipDraft> draft = build.result())
            emit ready(*draft);
    }
}

} // namespace tamo
