#include "app/CaptureQueue.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QTimer>

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

qsizetype CaptureQueue::finish(QDeadlineTimer deadline)
{
    while (!m_waiting.empty() && !deadline.hasExpired()) {
        QEventLoop loop;
        QFutureWatcher<std::optional<ClipDraft>> watcher;
        connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(m_waiting.front());
        QTimer::singleShot(deadline.remainingTime(), &loop, &QEventLoop::quit);
        if (!m_waiting.front().isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        deliverFinished();
    }
    return qsizetype(m_waiting.size());
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
