#pragma once

#include "app/AppHooks.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QUuid>

#include <optional>

namespace tamo {

class Alerts;
class CloudKeyValueStore;
class Clock;
class Defaults;
class ModelContext;
class Relauncher;
class SyncMirror;
struct CloudEvent;

// How sync is going, for the indicators, the settings page and the support
// report. It moves no data: it follows the mirror's events, its account and
// the shared history capacity, and switches sync on or off by relaunching.
class CloudSync final : public QObject, public CloudSyncService
{
    Q_OBJECT

public:
    using Status = SyncStatus;

    struct Activity
    {
        enum class Kind { setup, download, upload, other };

        Kind kind = Kind::other;
        QDateTime started;
        bool operator==(const Activity &) const = default;
    };

    // `mirror` may be null while sync is off.
    CloudSync(Defaults &defaults, const Clock &clock, CloudKeyValueStore &keyValues, SyncMirror *mirror,
              QObject *parent = nullptr);

    static bool isEnabled(const Defaults &defaults);
    // At the first launch sync starts on only where the sync folder can
    // already be made, so nobody is warned about a folder they never asked
    // for; the choice is stored, so a folder made later changes nothing.
    static void chooseFirstLaunchDefault(Defaults &defaults);
    bool isEnabled() const override;
    bool importedOnce() const override;
    void start(bool storeIsEmpty) override;

    Status status() const override { return m_status; }
    std::optional<Activity> activity() const { return m_activity; }
    std::optional<QDateTime> lastSynced() const { return m_lastSynced; }

    void syncNow(ModelContext &context) override;
    QString folderPath() const override;
    QString activityTitle() const override;
    QStringList detailLines(const QDateTime &now) const override;
    QString notice() const override { return m_notice; }
    void observe(QObject *receiver, std::function<void()> changed) override;

    // Writes the choice, asks, and relaunches; Cancel, or a relaunch that
    // could not start, puts the old value back.
    static void confirmToggle(bool turnOn, Defaults &defaults, Alerts &alerts, Relauncher &relauncher);

    void handleEvent(const CloudEvent &event);
    void applyRemoteCapacity();
    void checkAccount();

signals:
    void statusChanged();
    void activityChanged();
    void lastSyncedChanged();

private:
    void setStatus(const Status &status);
    void updateActivity();

    Defaults &m_defaults;
    const Clock &m_clock;
    CloudKeyValueStore &m_keyValues;
    SyncMirror *m_mirror;
    Status m_status;
    std::optional<Activity> m_activity;
    std::optional<QDateTime> m_lastSynced;
    QHash<QUuid, CloudEvent> m_running;
    QString m_notice; // the latest the mirror gave, kept while we run
};

} // namespace tamo
