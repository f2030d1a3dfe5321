#pragma once

#include "model/SearchFilter.h"

#include <QList>
#include <QObject>
#include <QThreadPool>
#include <QUuid>

#include <atomic>
#include <functional>
#include <memory>

namespace tamo {

// Finds the clips that match a search, on a worker thread with a read-only
// store connection of its own, so a long history never holds up the main
// thread. Starting a search cancels the one running; only the last one
// started reports. A long history is not read to its end before anything
// shows: the newest matches that fill a first screen are reported as soon as
// they are found, and the whole list when the search ends.
class ClipSearch : public QObject
{
    Q_OBJECT

public:
    struct Query
    {
        QString text; // trimmed; an empty text matches what the filters accept
        QList<SearchFilter> filters;
        QUuid pinboardID; // null: the whole history
        int historyLimit = -1; // only the newest clips, when not negative
        int firstMatchCount = 0; // reported early by firstMatchesFound once found, when positive
    };

    // The history is read newest first, this many clips at a time.
    static constexpr int pageSize = 500;

    explicit ClipSearch(QString storeDirectory, QObject *parent = nullptr);
    ~ClipSearch() override;

    // The history newest first (all of it, or its newest clips), or one
    // pinboard's clips most recently pinned first, each kept when it matches.
    void start(const Query &query);
    void cancel();
    bool isRunning() const { return m_running != nullptr; }

signals:
    // The newest matches, as many as the query's first match count, while the
    // search goes on; the list it finishes with starts with them. Not sent
    // when the search ends before it finds that many.
    void firstMatchesFound(const QList<QUuid> &ids);
    // The matching clips' ids in order, and how many pages were read.
    void finished(const QList<QUuid> &ids, int pages);

private:
    // Runs on the main thread unless the search was cancelled or superseded.
    void reportUnlessSuperseded(const std::shared_ptr<std::atomic_bool> &cancelled, std::function<void()> report);

    const QString m_storeFile;
    QThreadPool m_pool;
    std::shared_ptr<std::atomic_bool> m_running; // the cancel flag of the current search
};

} // namespace tamo
