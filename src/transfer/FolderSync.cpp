#include "transfer/FolderSync.h"

#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SettingsKeys.h"
#include "model/StoreMaintenance.h"
#include "model/Sqlite.h"
#include "platform/Defaults.h"
#include "platform/FolderWatcher.h"
#include "transfer/FolderMirror.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHostInfo>
#include <QPointer>
#include <QScopedValueRollback>

namespace tamo {

FolderSync::FolderSync(QString folderRoot, FolderWatcher &watcher, QObject *parent)
    : SyncMirror(parent)
    , m_root(std::move(folderRoot))
    , m_watcher(watcher)
    , m_keyValues(m_root)
    , m_threadContext(new QObject)
{
    connect(&m_keyValues, &FolderKeyValueStore::changedExternally, this, &SyncMirror::keyValuesChangedExternally);
    m_threadContext->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("sync folder"));
    m_thread.start();
    connect(&m_watcher, &FolderWatcher::changed, this, &FolderSync::syncNow);
}

FolderSync::~FolderSync()
{
    // Work under way stops at its next record, file or batch, so quitting
    // waits a moment at most; what it left undone goes on at the next start.
    m_stopping->store(true);
    QMetaObject::invokeMethod(m_threadContext, [this] { m_mirror.reset(); }, Qt::BlockingQueuedConnection);
    m_threadContext->deleteLater();
    m_thread.quit();
    m_thread.wait();
}

QString FolderSync::folderPath(const Defaults &defaults)
{
    const QString fromEnvironment = qEnvironmentVariable("TAMO_SYNC_FOLDER");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (const std::optional<QString> setting = defaults.string(keys::syncFolder); setting && !setting->isEmpty())
        return *setting;
    return QDir::homePath() + QStringLiteral("/Sync/TamoCove");
}

void FolderSync::attach(ModelContainer &container)
{
    m_container = &container;
    m_storeFile = QDir(container.storeDirectory()).filePath(QLatin1String(ModelContainer::syncedStoreName));
    container.enableChangeTracking();
    connect(&container.mainContext(), &ModelContext::didSave, this, &FolderSync::exportSaved);
    // The device's identity lives in the store; the shared settings need it
    // before the first event runs. Opening touches nothing in the folder.
    QString device;
    FolderKeyValueStore::Entries own;
    QMetaObject::invokeMethod(m_threadContext, [this, &device, &own] {
        if (openMirror().isEmpty())
            device = m_mirror->device();
        own = FolderKeyValueStore::readDevice(SyncFolder(m_root), device);
    }, Qt::BlockingQueuedConnection);
    m_ownDevice = device;
    m_keyValues.setDevice(device, own);
}

QString FolderSync::openMirror()
{
    if (m_mirror)
        return {};
    try {
        m_mirror = std::make_unique<FolderMirror>(m_storeFile, m_root);
    } catch (const sql::Error &error) {
        return error.message();
    }
    return {};
}

void FolderSync::onFolderThread(std::function<void(FolderMirror *, const QString &)> work)
{
    QMetaObject::invokeMethod(m_threadContext, [this, work = std::move(work)] {
        const QString openError = openMirror();
        work(m_mirror.get(), openError);
    });
}

void FolderSync::runEvent(CloudEvent::Type type, std::function<Outcome(FolderMirror &)> work)
{
    CloudEvent event{QUuid::createUuid(), type, QDateTime::currentDateTime(), std::nullopt, false, {}, {}};
    emit progressed(event);
    QPointer<FolderSync> self(this);
    onFolderThread([self, event, work = std::move(work)](FolderMirror *mirror, const QString &openError) mutable {
        const Outcome outcome = mirror ? work(*mirror) : Outcome{openError, {}};
        if (mirror)
            event.notice = mirror->takeNotice();
        const QString device = mirror ? mirror->device() : QString();
        QMetaObject::invokeMethod(self, [self, event, outcome, device]() mutable {
            self->followDevice(device);
            self->finish(event, outcome);
        });
    });
}

// A second installation found writing under our identity had the mirror
// take a new one; the shared settings follow it.
void FolderSync::followDevice(const QString &device)
{
    if (device.isEmpty() || device == m_ownDevice)
        return;
    m_ownDevice = device;
    m_keyValues.setDevice(device, {}); // a new identity has no file of its own yet
}

void FolderSync::finish(CloudEvent event, const Outcome &outcome)
{
    // The views see what arrived before the import is reported done.
    if (m_container && !outcome.changed.isEmpty()) {
        // What arrived is no change of ours to send back.
        const QScopedValueRollback refreshing(m_refreshing, true);
        m_container->mainContext().refreshAfterExternalChange(outcome.changed);
        // Clips deleted elsewhere take their local-only images and edit dates
        // with them, as a deletion made here does.
        if (outcome.removed > 0)
            StoreMaintenance(m_container->mainContext()).removeOrphanLocalRecords();
    }
    // A reader kept the mirror from erasing what arrived deleted; the store's
    // own connection tries until it is done.
    if (m_container && outcome.logHoldsDeletions)
        m_container->eraseLogs();
    event.ended = QDateTime::currentDateTime();
    event.succeeded = outcome.error.isEmpty();
    event.error = outcome.error;
    emit progressed(event);
    if (event.type != CloudEvent::Type::import)
        return;
    m_keyValues.synchronize();
    m_watcher.watch(watchedFolders());
    m_busy = false;
    if (std::exchange(m_again, false))
        syncNow();
}

QStringList FolderSync::watchedFolders() const
{
    QStringList folders{QFileInfo(m_root).absolutePath(), m_root, m_root + QStringLiteral("/devices")};
    // Not our own folder: our writes are no news to us.
    const SyncFolder folder(m_root);
    for (const QString &device : folder.devices()) {
        if (device != m_ownDevice)
            folders.append(folder.deviceFolder(device));
    }
    return folders;
}

void FolderSync::exportSaved()
{
    if (!m_started || m_usable != true || m_refreshing)
        return;
    const qint64 wallMillis = QDateTime::currentMSecsSinceEpoch();
    runEvent(CloudEvent::Type::export_, [wallMillis, stopping = m_stopping](FolderMirror &mirror) {
        QString error = mirror.exportChanges(wallMillis, *stopping).error;
        if (error.isEmpty())
            error = mirror.eraseDeleted(wallMillis, *stopping);
        return Outcome{error, {}};
    });
}

void FolderSync::start()
{
    m_started = true;
    m_busy = true;
    // Each launch sets up, so what was saved while sync was off goes out.
    whenUsable(SetUp::always);
}

void FolderSync::syncNow()
{
    if (!m_started)
        return; // start exports and imports everything there is
    if (m_busy) {
        m_again = true;
        return;
    }
    m_busy = true;
    whenUsable(SetUp::whenMissing);
}

void FolderSync::whenUsable(SetUp setUp)
{
    // Without a usable folder nothing runs and nothing is written; the
    // account check tells the user, and a later look may find it usable.
    QPointer<FolderSync> self(this);
    const QString root = m_root;
    const QString device = m_ownDevice;
    QMetaObject::invokeMethod(m_threadContext, [self, root, device, setUp] {
        const SyncFolder folder(root);
        const bool usable = folder.accountStatus() == AccountStatus::available;
        // A folder that appeared, or was moved away and back, while we ran
        // may lack our device folder.
        const bool setUpNow = usable && (setUp == SetUp::always || !folder.holdsDevice(device));
        QMetaObject::invokeMethod(self, [self, usable, setUpNow] {
            const bool changed = self->m_usable.has_value() && *self->m_usable != usable;
            self->m_usable = usable;
            if (changed)
                emit self->accountChanged();
            self->m_watcher.watch(self->watchedFolders());
            if (!usable) {
                self->m_busy = false;
                if (std::exchange(self->m_again, false))
                    self->syncNow(); // asked for while we looked: look again
                return;
            }
            if (setUpNow)
                self->setUp();
            self->exportAndImport();
        });
    });
}

void FolderSync::setUp()
{
    runEvent(CloudEvent::Type::setup, [](FolderMirror &mirror) {
        return Outcome{mirror.prepare(QHostInfo::localHostName()), {}};
    });
}

void FolderSync::exportAndImport()
{
    m_busy = true;
    const qint64 wallMillis = QDateTime::currentMSecsSinceEpoch();
    runEvent(CloudEvent::Type::import, [wallMillis, stopping = m_stopping](FolderMirror &mirror) {
        // Export first, so a deletion made here is known before others' edits arrive.
        const ChangeExport::Result exported = mirror.exportChanges(wallMillis, *stopping);
        const ChangeImport::Result imported = mirror.importChanges(*stopping);
        QStringList failures = imported.failures;
        if (!exported.error.isEmpty())
            failures.prepend(exported.error);
        // Content deleted here or by another device leaves this device's files.
        if (const QString error = mirror.eraseDeleted(wallMillis, *stopping); !error.isEmpty())
            failures.append(error);
        failures.removeDuplicates();
        return Outcome{failures.join(QLatin1Char('\n')), imported.changed, imported.removed,
                       mirror.logHoldsDeletions()};
    });
}

void FolderSync::queryAccount(std::function<void(std::optional<AccountStatus>)> answer)
{
    QPointer<FolderSync> self(this);
    const QString root = m_root;
    QMetaObject::invokeMethod(m_threadContext, [self, root, answer = std::move(answer)] {
        const std::optional<AccountStatus> status = SyncFolder(root).accountStatus();
        QMetaObject::invokeMethod(self, [answer, status] { answer(status); });
    });
}

} // namespace tamo
