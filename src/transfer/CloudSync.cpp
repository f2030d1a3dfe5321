#include "transfer/CloudSync.h"

#include "app/RelativeDate.h"
#include "model/ModelContext.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"
#include "platform/CloudKeyValueStore.h"
#include "platform/Defaults.h"
#include "platform/Relauncher.h"
#include "transfer/FolderSync.h"
#include "transfer/SyncMirror.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

namespace tamo {

namespace {

using Kind = CloudSync::Status::Kind;

constexpr int syncNowSettleMs = 4000;
constexpr qint64 longRunSeconds = 120;

CloudSync::Activity::Kind activityKind(CloudEvent::Type type)
{
    switch (type) {
    case CloudEvent::Type::setup:
        return CloudSync::Activity::Kind::setup;
    case CloudEvent::Type::import:
        return CloudSync::Activity::Kind::download;
    case CloudEvent::Type::export_:
        return CloudSync::Activity::Kind::upload;
    }
    return CloudSync::Activity::Kind::other;
}

QString kindText(CloudSync::Activity::Kind kind)
{
    switch (kind) {
    case CloudSync::Activity::Kind::setup:
        return QStringLiteral("Connecting to the sync folder");
    case CloudSync::Activity::Kind::download:
        return QStringLiteral("Reading the sync folder");
    case CloudSync::Activity::Kind::upload:
        return QStringLiteral("Writing to the sync folder");
    case CloudSync::Activity::Kind::other:
        break;
    }
    return QStringLiteral("Syncing through the sync folder");
}

} // namespace

CloudSync::CloudSync(Defaults &defaults, const Clock &clock, CloudKeyValueStore &keyValues, SyncMirror *mirror,
                     QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_clock(clock)
    , m_keyValues(keyValues)
    , m_mirror(isEnabled(defaults) ? mirror : nullptr)
    , m_status(Status::of(m_mirror ? Kind::syncing : Kind::off))
    , m_lastSynced(defaults.date(keys::iCloudLastSynced))
{
    if (m_mirror)
        connect(m_mirror, &SyncMirror::progressed, this, &CloudSync::handleEvent);
}

bool CloudSync::isEnabled(const Defaults &defaults)
{
    // On unless turned off; a value it cannot use counts as none.
    return !defaults.value(keys::iCloudSync).isValid() || defaults.boolValue(keys::iCloudSync);
}

void CloudSync::chooseFirstLaunchDefault(Defaults &defaults)
{
    if (defaults.hasPersistentValue(keys::iCloudSync))
        return;
    const QFileInfo folder(FolderSync::folderPath(defaults));
    defaults.setValue(keys::iCloudSync, folder.absoluteDir().exists());
}

bool CloudSync::isEnabled() const
{
    return isEnabled(m_defaults);
}

bool CloudSync::importedOnce() const
{
    // Without a usable sync folder no import will ever come; waiting for one
    // would keep the history from being trimmed for good.
    return m_defaults.boolValue(keys::iCloudImportedOnce) || m_status.kind == Kind::noAccount;
}

void CloudSync::start(bool storeIsEmpty)
{
    if (!m_mirror)
        return;
    connect(m_mirror, &SyncMirror::accountChanged, this, &CloudSync::checkAccount);
    connect(m_mirror, &SyncMirror::keyValuesChangedExternally, this, &CloudSync::applyRemoteCapacity);
    QPointer<CloudSync> self(this);
    m_keyValues.synchronize([self, storeIsEmpty] {
        if (!self)
            return;
        if (self->m_keyValues.value(keys::historyCapacity).isValid()) {
            self->applyRemoteCapacity();
        } else if (!storeIsEmpty) {
            // A machine that already holds clips publishes its capacity when none is shared yet.
            self->m_keyValues.setValue(keys::historyCapacity, rawValue(currentHistoryCapacity(self->m_defaults)));
        }
    });
    checkAccount();
    m_mirror->start();
}

QString CloudSync::folderPath() const
{
    return FolderSync::folderPath(m_defaults);
}

void CloudSync::checkAccount()
{
    if (!m_mirror)
        return;
    QPointer<CloudSync> self(this);
    m_mirror->queryAccount([self](std::optional<AccountStatus> answer) {
        if (!self)
            return;
        if (answer == AccountStatus::available) {
            if (self->m_status.kind == Kind::noAccount)
                self->setStatus(Status::of(Kind::syncing));
            return;
        }
        self->setStatus(Status::of(Kind::noAccount));
        if (answer == AccountStatus::noAccount && self->onAccountUnavailable)
            self->onAccountUnavailable();
    });
}

void CloudSync::applyRemoteCapacity()
{
    const QVariant remote = m_keyValues.value(keys::historyCapacity);
    bool isNumber = false;
    const qint64 raw = remote.toLongLong(&isNumber);
    if (!remote.isValid() || remote.typeId() == QMetaType::QString || !isNumber || !historyCapacityFromRaw(raw))
        return;
    if (raw == rawValue(currentHistoryCapacity(m_defaults)))
        return;
    m_defaults.setValue(keys::historyCapacity, raw);
    if (onCapacityChange)
        onCapacityChange();
}

void CloudSync::handleEvent(const CloudEvent &event)
{
    if (!event.ended) {
        m_running.insert(event.id, event);
        updateActivity();
        if (m_status.kind != Kind::noAccount)
            setStatus(Status::of(Kind::syncing));
        return;
    }
    m_running.remove(event.id);
    updateActivity();
    if (!event.notice.isEmpty() && event.notice != m_notice) {
        m_notice = event.notice;
        emit statusChanged();
    }
    if (!event.succeeded) {
        setStatus(Status::failed(event.error.isEmpty() ? QStringLiteral("Sync failed.") : event.error));
        return;
    }
    if (m_lastSynced != *event.ended) {
        m_lastSynced = *event.ended;
        emit lastSyncedChanged();
    }
    m_defaults.setValue(keys::iCloudLastSynced, *event.ended);
    if (m_running.isEmpty())
        setStatus(Status::upToDate(*event.ended));
    if (event.type == CloudEvent::Type::import) {
        m_defaults.setValue(keys::iCloudImportedOnce, true);
        if (onImport)
            onImport();
    }
}

void CloudSync::updateActivity()
{
    std::optional<Activity> earliest;
    for (const CloudEvent &event : std::as_const(m_running)) {
        if (!earliest || event.started < earliest->started)
            earliest = Activity{activityKind(event.type), event.started};
    }
    if (earliest != m_activity) {
        m_activity = earliest;
        emit activityChanged();
    }
}

void CloudSync::setStatus(const Status &status)
{
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged();
}

void CloudSync::syncNow(ModelContext &context)
{
    if (!m_mirror)
        return;
    const Status previous = m_status;
    setStatus(Status::of(Kind::syncing));
    context.save(); // a failed save stays pending and is reported by the next one
    m_keyValues.synchronize();
    m_mirror->syncNow();
    QTimer::singleShot(syncNowSettleMs, this, [this, previous] {
        if (m_status.kind == Kind::syncing && previous.kind == Kind::upToDate)
            setStatus(previous);
    });
}

void CloudSync::observe(QObject *receiver, std::function<void()> changed)
{
    connect(this, &CloudSync::statusChanged, receiver, changed);
    connect(this, &CloudSync::activityChanged, receiver, changed);
}

QString CloudSync::activityTitle() const
{
    if (!m_activity)
        return QStringLiteral("Syncing through the sync folder…");
    return kindText(m_activity->kind) + QStringLiteral(" · started ")
           + relativeDateText(m_activity->started, m_clock.now());
}

QStringList CloudSync::detailLines(const QDateTime &now) const
{
    QStringList lines;
    if (m_activity && m_activity->started.secsTo(now) > longRunSeconds)
        lines.append(QStringLiteral("Large histories can take several minutes. You can keep using TamoCove."));
    if (m_lastSynced)
        lines.append(QStringLiteral("Last synced ") + relativeDateText(*m_lastSynced, now));
    return lines;
}

void CloudSync::confirmToggle(bool turnOn, Defaults &defaults, Alerts &alerts, Relauncher &relauncher)
{
    const bool wasOn = isEnabled(defaults);
    defaults.setValue(keys::iCloudSync, turnOn);
    AlertSpec spec;
    spec.message = turnOn ? QStringLiteral("Turn on sync?") : QStringLiteral("Turn off sync?");
    spec.informativeText =
        turnOn ? QStringLiteral("TamoCove will restart and sync your clipboard history and pinboards with your other devices.")
               : QStringLiteral("TamoCove will restart. Your history stays on this computer but no longer syncs; clips already in the sync folder stay there.");
    spec.buttons = {QStringLiteral("Restart TamoCove"), QStringLiteral("Cancel")};
    if (alerts.runModal(spec) != 0) {
        defaults.setValue(keys::iCloudSync, !turnOn);
        return;
    }
    if (!relauncher.relaunch()) {
        // Quitting now would leave the user with no TamoCove at all.
        defaults.setValue(keys::iCloudSync, wasOn);
        alerts.runModal(AlertSpec::failure(
            QStringLiteral("TamoCove could not restart"),
            QStringLiteral("Your sync setting was not changed. Quit and open TamoCove again to try once more.")));
    }
}

} // namespace tamo
