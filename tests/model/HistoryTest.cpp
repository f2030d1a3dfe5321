#include "StoreFixture.h"

#include "model/DefaultSettings.h"
#include "model/History.h"
#include "model/Pinboard.h"
#include "model/SettingsKeys.h"
#include "model/SyncState.h"
#include "platform/CloudKeyValueStore.h"
#include "platform/Defaults.h"
#include "support/FakeAlerts.h"

#include <QSet>

using namespace tamo;
using namespace tamo::testing;

namespace {

constexpr qint64 day = 86400;

struct FakeSync final : SyncState
{
    bool enabled = false;
    bool imported = false;
    bool isEnabled() const override { return enabled; }
    bool importedOnce() const override { return imported; }
};

struct RecordingKeyValueStore final : CloudKeyValueStore
{
    QVariantMap values;
    void setValue(const QString &key, const QVariant &value) override { values.insert(key, value); }
    QVariant value(const QString &key) const override { return values.value(key); }
};

QSet<QUuid> asSet(const QList<QUuid> &ids) { return QSet<QUuid>(ids.cbegin(), ids.cend()); }

} // namespace

class HistoryTest : public StoreFixture
{
protected:
    HistoryTest() { registerDefaultSettings(defaults); }

    History history() { return History(context(), defaults, clock, sync, keyValueStore); }

    QUuid addAged(const char *text, qint64 ageSeconds, bool pinned = false)
    {
        auto clip = addClip(QLatin1String(text), clock.now().addSecs(-ageSeconds));
        if (pinned)
            clip->setPin(QUuid::createUuid(), clock.now());
        return clip->id();
    }

    void startOver()
    {
        reopen();
        for (const ClipItemPtr &clip : context().fetch<ClipItem>())
            context().remove(clip);
    }

    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    FakeSync sync;
    RecordingKeyValueStore keyValueStore;
    FakeAlerts alerts;
};

TEST(HistoryCutoff, StepsBackByTheLocalCalendar)
{
    const auto at = [](int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(9, 30)); };
    const std::tuple<HistoryCapacity, QDateTime, QDateTime> cases[] = {
        {HistoryCapacity::day, at(2026, 3, 1), at(2026, 2, 28)},
        {HistoryCapacity::week, at(2026, 3, 4), at(2026, 2, 25)},
        {HistoryCapacity::month, at(2026, 3, 31), at(2026, 2, 28)},
        {HistoryCapacity::month, at(2024, 3, 31), at(2024, 2, 29)},
        {HistoryCapacity::month, at(2026, 1, 10), at(2025, 12, 10)},
        {HistoryCapacity::unlimited, at(2026, 1, 10), QDateTime()},
    };
    for (const auto &[capacity, now, expected] : cases)
        EXPECT_EQ(History::cutoff(capacity, now), expected) << now.toString(Qt::ISODate).toStdString();
}

TEST_F(HistoryTest, TrimRemovesOnlyUnpinnedClipsPastTheStoredCapacity)
{
    struct Case { const char *name; QVariant stored; bool syncOn, imported; QStringList removed; };
    const Case cases[] = {
        {"week", 1, false, false, {"8 days", "40 days"}},
        {"day", 0, false, false, {"2 days", "8 days", "40 days"}},
        {"unlimited", 3, false, false, {}},
        {"missing reads month", QVariant(), false, false, {"40 days"}},
        {"out of range reads month", 7, false, false, {"40 days"}},
        {"sync before first import", 1, true, false, {}},
        {"sync after first import", 1, true, true, {"8 days", "40 days"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        startOver();
        const QHash<QString, QUuid> ids{{"2 days", addAged("2 days", 2 * day)},
                                        {"8 days", addAged("8 days", 8 * day)},
                                        {"40 days", addAged("40 days", 40 * day)}};
        addAged("pinned a year ago", 365 * day, true);
        ASSERT_TRUE(context().save());
        defaults.setValue(keys::historyCapacity, c.stored);
        sync.enabled = c.syncOn;
        sync.imported = c.imported;

        QSet<QUuid> expected;
        for (const QString &text : c.removed)
            expected.insert(ids.value(text));
        EXPECT_EQ(asSet(history().trimHistory()), expected);
        reopen();
        EXPECT_EQ(context().fetchCount<ClipItem>(), 4 - expected.size());
    }
}

TEST_F(HistoryTest, NewCapacityIsAppliedOnlyWhenNothingIsLostUnasked)
{
    struct Case { const char *name; bool oldClips; int answer; bool syncOn, imported; bool applied, shared; int left; };
    const Case cases[] = {
        {"nothing to remove", false, -1, false, false, true, false, 1},
        {"declined", true, 1, true, true, false, false, 3},
        {"confirmed", true, 0, false, false, true, false, 1},
        {"confirmed with sync", true, 0, true, true, true, true, 1},
        {"confirmed before first import", true, 0, true, false, true, true, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        startOver();
        defaults.remove(keys::historyCapacity);
        keyValueStore.values.clear();
        addAged("fresh", day);
        if (c.oldClips) {
            addAged("old", 10 * day);
            addAged("older", 20 * day);
        }
        ASSERT_TRUE(context().save());
        sync.enabled = c.syncOn;
        sync.imported = c.imported;
        const qsizetype alertsBefore = alerts.shown().size();
        if (c.answer >= 0)
            alerts.answer(c.answer);

        EXPECT_EQ(history().setHistoryCapacity(HistoryCapacity::week, alerts), c.applied);
        EXPECT_EQ(alerts.shown().size() - alertsBefore, c.answer >= 0 ? 1 : 0);
        EXPECT_EQ(defaults.hasPersistentValue(keys::historyCapacity), c.applied);
        EXPECT_EQ(history().currentCapacity(), c.applied ? HistoryCapacity::week : HistoryCapacity::month);
        EXPECT_EQ(keyValueStore.values.value(keys::historyCapacity), c.shared ? QVariant(1) : QVariant());
        EXPECT_EQ(context().fetchCount<ClipItem>(), c.left);
    }
}

TEST(HistoryAlerts, CapacityAlertGroupsTheCountAndNamesTheCapacity)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(History::capacityAlert(1, HistoryCapacity::day, english).message, QStringLiteral("Remove 1 clip?"));
    EXPECT_EQ(History::capacityAlert(1234, HistoryCapacity::day, english).message,
              QStringLiteral("Remove 1,234 clips?"));
    // Grouped even where the locale would leave the digits bare.
    EXPECT_EQ(History::capacityAlert(1234, HistoryCapacity::day, QLocale::c()).message,
              QStringLiteral("Remove 1,234 clips?"));
    const AlertSpec week = History::capacityAlert(2, HistoryCapacity::week, english);
    EXPECT_EQ(week.informativeText, QStringLiteral("Keeping history for a week removes unpinned clips older than "
                                                   "that. Pinned clips are kept. This can't be undone."));
    EXPECT_EQ(week.buttons, QStringList({QStringLiteral("Remove Clips"), QStringLiteral("Cancel")}));
    EXPECT_EQ(week.destructiveButton, 0);
}

TEST_F(HistoryTest, ClearingTheLast24HoursCountsOnlyRecentUnpinnedClips)
{
    addAged("pinned just now", 60, true);
    addAged("a second too old", day + 1);
    ASSERT_TRUE(context().save());
    alerts.answer(0);
    EXPECT_TRUE(history().clearLast24Hours(alerts).isEmpty());
    EXPECT_EQ(alerts.shown().last(), History::nothingToClearAlert());
    EXPECT_EQ(alerts.shown().last().message, QStringLiteral("Nothing to clear"));

    const QUuid edge = addAged("exactly a day old", day);
    ASSERT_TRUE(context().save());
    alerts.answer(0);
    EXPECT_EQ(history().clearLast24Hours(alerts), QList<QUuid>{edge});
    EXPECT_EQ(alerts.shown().last().informativeText,
              QStringLiteral("The 1 item copied in the last 24 hours will be removed. Pinned items and pinboards "
                             "are kept."));
    EXPECT_EQ(alerts.shown().last().buttons, QStringList({QStringLiteral("Clear 1 Item"), QStringLiteral("Cancel")}));

    const QSet<QUuid> recent{addAged("a", 10), addAged("b", 20)};
    ASSERT_TRUE(context().save());
    alerts.answer(1);
    EXPECT_TRUE(history().clearLast24Hours(alerts).isEmpty());
    EXPECT_TRUE(alerts.shown().last().informativeText.startsWith(QStringLiteral("The 2 items copied")));
    EXPECT_EQ(alerts.shown().last().buttons.first(), QStringLiteral("Clear 2 Items"));
    alerts.whileShown = [&] {
        clock.advance(1000);
        addAged("copied while the alert is open", 0);
        ASSERT_TRUE(context().save());
    };
    alerts.answer(0);
    EXPECT_EQ(asSet(history().clearLast24Hours(alerts)), recent);

    reopen();
    EXPECT_EQ(context().fetchCount<ClipItem>(), 3); // the pinned, the old one and the late copy
}

TEST_F(HistoryTest, ClearingTheHistoryKeepsPinnedClipsAndPinboards)
{
    context().insert(std::make_shared<Pinboard>(QStringLiteral("Kept"), 0, 0));
    addAged("pinned", 5 * day, true);
    const QSet<QUuid> loose{addAged("loose", 60), addAged("old", 90 * day)};
    ASSERT_TRUE(context().save());

    alerts.answer(1);
    EXPECT_TRUE(history().clearHistory(alerts).isEmpty());
    EXPECT_EQ(alerts.shown().last(), History::clearHistoryAlert());
    alerts.answer(0);
    EXPECT_EQ(asSet(history().clearHistory(alerts)), loose);
    reopen();
    EXPECT_EQ(context().fetchCount<ClipItem>(), 1);
    EXPECT_EQ(context().fetchCount<Pinboard>(), 1);
}
