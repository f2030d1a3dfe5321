#include "model/History.h"

#include "model/ClipItem.h"
#include "model/ModelContext.h"
#include "model/SettingsKeys.h"
#include "model/SyncState.h"
#include "platform/Clock.h"
#include "platform/CloudKeyValueStore.h"
#include "platform/Defaults.h"

namespace tamo {

namespace {

using Compare = FetchDescriptor::Compare;

constexpr qint64 secondsPerDay = 86400;

FetchDescriptor unpinned()
{
    return FetchDescriptor().where(ClipItem::PinboardIDColumn, Compare::isNull);
}

FetchDescriptor unpinnedBefore(const QDateTime &cutoff)
{
    // In date order, so the date index finds the few old clips rather than
    // the whole history being read.
    return unpinned().where(ClipItem::CreatedAtColumn, Compare::less, cutoff).sorted(ClipItem::CreatedAtColumn, true);
}

QString countedNoun(int count, const QString &singular, const QString &plural)
{
    return QString::number(count) + (count == 1 ? singular : plural);
}

} // namespace

History::History(ModelContext &context, Defaults &defaults, const Clock &clock, const SyncState &sync,
                 CloudKeyValueStore &keyValueStore)
    : m_context(context), m_defaults(defaults), m_clock(clock), m_sync(sync), m_keyValueStore(keyValueStore)
{
}

QDateTime History::cutoff(HistoryCapacity capacity, const QDateTime &now)
{
    // Calendar steps on local time keep the clock time across daylight
    // saving changes and clamp a month to its last day.
    const QDateTime local = now.toLocalTime();
    switch (capacity) {
    case HistoryCapacity::day: return local.addDays(-1);
    case HistoryCapacity::week: return local.addDays(-7);
    case HistoryCapacity::month: return local.addMonths(-1);
    case HistoryCapacity::unlimited: return {};
    }
    return {};
}

HistoryCapacity History::currentCapacity() const
{
    return currentHistoryCapacity(m_defaults);
}

QList<QUuid> History::trimHistory()
{
    if (m_sync.isEnabled() && !m_sync.importedOnce())
        return {};
    const QDateTime limit = cutoff(currentCapacity(), m_clock.now());
    if (!limit.isValid())
        return {};
    return removeClips(unpinnedBefore(limit));
}

bool History::setHistoryCapacity(HistoryCapacity capacity, Alerts &alerts)
{
    const QDateTime limit = cutoff(capacity, m_clock.now());
    if (limit.isValid()) {
        const int count = m_context.fetchCount<ClipItem>(unpinnedBefore(limit));
        if (count < 0) // unknown: never remove clips the user was not asked about
            return false;
        if (count > 0 && alerts.runModal(capacityAlert(count, capacity)) != 0)
            return false;
    }
    const int raw = rawValue(capacity);
    m_defaults.setValue(keys::historyCapacity, raw);
    if (m_sync.isEnabled())
        m_keyValueStore.setValue(keys::historyCapacity, raw);
    trimHistory();
    return true;
}

QList<QUuid> History::clearHistory(Alerts &alerts)
{
    if (alerts.runModal(clearHistoryAlert()) != 0)
        return {};
    return removeClips(unpinned());
}

QList<QUuid> History::clearLast24Hours(Alerts &alerts)
{
    // The window ends when the clips are counted: a copy made while the
    // question is open was not counted and stays.
    const QDateTime countedAt = m_clock.now();
    const FetchDescriptor recent = unpinned()
                                       .where(ClipItem::CreatedAtColumn, Compare::greaterOrEqual,
                                              countedAt.addSecs(-secondsPerDay))
                                       .where(ClipItem::CreatedAtColumn, Compare::less, countedAt.addMSecs(1));
    const int count = m_context.fetchCount<ClipItem>(recent); // a failed count removes nothing
    if (count <= 0) {
        alerts.runModal(nothingToClearAlert());
        return {};
    }
    if (alerts.runModal(clearLast24HoursAlert(count)) != 0)
        return {};
    return removeClips(recent);
}

QList<QUuid> History::removeClips(const FetchDescriptor &descriptor)
{
    const QList<QUuid> ids = m_context.removeClips(descriptor);
    if (ids.isEmpty() || !m_context.save())
        return {};
    return ids;
}

AlertSpec History::capacityAlert(int count, HistoryCapacity capacity, const QLocale &locale)
{
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions().setFlag(QLocale::OmitGroupSeparator, false));
    return {
        QStringLiteral("Remove ") + grouped.toString(count) + (count == 1 ? QStringLiteral(" clip?")
                                                                          : QStringLiteral(" clips?")),
        QStringLiteral("Keeping history for a ") + displayName(capacity).toLower()
            + QStringLiteral(" removes unpinned clips older than that. Pinned clips are kept. This can't be undone."),
        {QStringLiteral("Remove Clips"), QStringLiteral("Cancel")},
        0,
    };
}

AlertSpec History::clearHistoryAlert()
{
    return {
        QStringLiteral("Clear clipboard history?"),
        QStringLiteral("Every item that isn't pinned will be removed. Pinboards are kept."),
        {QStringLiteral("Clear History"), QStringLiteral("Cancel")},
        0,
    };
}

AlertSpec History::nothingToClearAlert()
{
    return {
        QStringLiteral("Nothing to clear"),
        QStringLiteral("No unpinned items were copied in the last 24 hours."),
        {},
        -1,
    };
}

AlertSpec History::clearLast24HoursAlert(int count)
{
    return {
        QStringLiteral("Clear the last 24 hours?"),
        QStringLiteral("The ") + countedNoun(count, QStringLiteral(" item"), QStringLiteral(" items"))
            + QStringLiteral(" copied in the last 24 hours will be removed. Pinned items and pinboards are kept."),
        {QStringLiteral("Clear ") + countedNoun(count, QStringLiteral(" Item"), QStringLiteral(" Items")),
         QStringLiteral("Cancel")},
        0,
    };
}

} // namespace tamo
