#pragma once

#include "model/ModelContainer.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/FolderWatcher.h"
#include "transfer/CloudSync.h"
#include "transfer/FolderSync.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

namespace tamo::bench {

class StillWatcher final : public FolderWatcher
{
public:
    void watch(const QStringList &) override {}
};

// The longest time the main thread went without serving its event loop.
class StallWatch
{
public:
    StallWatch()
    {
        m_tick.setInterval(1);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_sinceLast.restart());
        });
        m_sinceLast.start();
        m_tick.start();
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_tick;
    QElapsedTimer m_sinceLast;
    qint64 m_longest = 0;
};

// This machine as main() assembles its sync, over the store in `storeFolder`.
struct Machine
{
    Machine(const QString &storeFolder, const QString &syncFolder)
        : container(storeFolder)
        , sync(syncFolder, watcher)
        , state(defaults, clock, sync.keyValues(), &sync)
    {
        QObject::connect(&sync, &SyncMirror::progressed, [this](const CloudEvent &event) {
            if (event.ended)
                ended.append(event);
        });
    }

    bool waitFor(CloudEvent::Type type, int count)
    {
        QElapsedTimer timer;
        timer.start();
        while (std::count_if(ended.begin(), ended.end(), [&](const CloudEvent &e) { return e.type == type; }) < count) {
            if (timer.elapsed() > 600'000)
                return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return std::all_of(ended.begin(), ended.end(), [](const CloudEvent &e) { return e.succeeded; });
    }

    QTemporaryDir settings;
    Defaults defaults{settings.filePath(QStringLiteral("defaults.json"))};
    SystemClock clock;
    StillWatcher watcher;
    ModelContainer container;
    FolderSync sync;
    CloudSync state;
    QList<CloudEvent> ended;
};

} // namespace tamo::bench
