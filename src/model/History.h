#pragma once

#include "model/SettingsEnums.h"
#include "platform/Alerts.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QUuid>

namespace tamo {

class Clock;
class CloudKeyValueStore;
class Defaults;
class ModelContext;
class SyncState;
struct FetchDescriptor;

// How long the history keeps unpinned clips, and clearing it by hand. Pinned
// clips are never removed here. Every removal erases the clips' content from
// the store files and returns the removed ids, so previews of them can close.
class History
{
public:
    History(ModelContext &context, Defaults &defaults, const Clock &clock, const SyncState &sync,
            CloudKeyValueStore &keyValueStore);

    // Unpinned clips created before this are past the capacity: one day,
    // week or month back on the local calendar (a month back from March 31
    // is the last day of February). Invalid for unlimited.
    static QDateTime cutoff(HistoryCapacity capacity, const QDateTime &now);

    // The stored capacity; month when missing or not a capacity.
    HistoryCapacity currentCapacity() const;

    // Removes the unpinned clips past the current capacity; nothing while
    // sync is on and the first import has not arrived (the history here is
    // still incomplete then).
    QList<QUuid> trimHistory();

    // Asks before removing anything; false when the user declined (nothing
    // is written then). Stores the capacity, shares it through sync while
    // sync is on, and trims.
    bool setHistoryCapacity(HistoryCapacity capacity, Alerts &alerts);

    // Both ask first; an empty list when declined.
    QList<QUuid> clearHistory(Alerts &alerts);
    QList<QUuid> clearLast24Hours(Alerts &alerts);

    // The alerts, built apart so their texts can be checked without a window.
    static AlertSpec capacityAlert(int count, HistoryCapacity capacity, const QLocale &locale = QLocale::system());
    static AlertSpec clearHistoryAlert();
    static AlertSpec nothingToClearAlert();
    static AlertSpec clearLast24HoursAlert(int count);

private:
    QList<QUuid> removeClips(const FetchDescriptor &descriptor);

    ModelContext &m_context;
    Defaults &m_defaults;
    const Clock &m_clock;
    const SyncState &m_sync;
    CloudKeyValueStore &m_keyValueStore;
};

} // namespace tamo
