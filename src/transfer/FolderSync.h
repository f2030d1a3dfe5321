#pragma once

#include "transfer/ChangeImport.h"
#include "transfer/FolderKeyValueStore.h"
#include "transfer/SyncMirror.h"

#include <QThread>

#include <atomic>
#include <memory>

namespace tamo {

class Defaults;
class FolderMirror;
class FolderWatcher;
class ModelContainer;

// The mirror of the synced store onto the sync folder. The folder work runs
// on a thread of its own with its own store connection; events, answers and
// the re-query of the views come back to the main thread.
class FolderSync final : public SyncMirror
{
    Q_OBJECT

public:
    FolderSync(QString folderRoot, FolderWatcher &watcher, QObject *parent = nullptr);
    ~FolderSync() override;

    // The folder in use: $TAMO_SYNC_FOLDER, else the "syncFolder" setting,
    // else ~/Sync/TamoCove (Syncthing's default folder).
    static QString folderPath(const Defaults &defaults);

    // Before start: from now on saves are queued for export.
    void attach(ModelContainer &container);
    // The shared settings, in the same folder.
    FolderKeyValueStore &keyValues() { return m_keyValues; }

    void start() override;
    void syncNow() override;
    void queryAccount(std::function<void(std::optional<AccountStatus>)> answer) override;

private:
    struct Outcome
    {
        QString error;
        ChangeImport::ChangedRows changed;
        int removed = 0;
        bool logHoldsDeletions = false;
    };
    void runEvent(CloudEvent::Type type, std::function<Outcome(FolderMirror &)> work);
    void finish(CloudEvent event, const Outcome &outcome);
    void followDevice(const QString &device);
    QStringList watchedFolders() const;
    // Runs on the folder thread; the mirror opens there on first use.
    void onFolderThread(std::function<void(FolderMirror *, const QString &openError)> work);
    // On the folder thread: the error text, empty once the mirror is open.
    QString openMirror();
    void exportAndImport();
    // After a save: this device's changes go out; nothing is imported.
    void exportSaved();
    enum class SetUp { always, whenMissing };
    // Sets up (as asked, or when our device folder is missing), then
    // exports and imports, once the folder is found usable.
    void whenUsable(SetUp setUp);
    void setUp();

    QString m_root;
    FolderWatcher &m_watcher;
    FolderKeyValueStore m_keyValues;
    ModelContainer *m_container = nullptr;
    QString m_storeFile;
    QString m_ownDevice;
    QThread m_thread;
    QObject *m_threadContext;
    std::unique_ptr<FolderMirror> m_mirror; // used on the folder thread only
    std::shared_ptr<std::atomic<bool>> m_stopping = std::make_shared<std::atomic<bool>>(false);
    std::optional<bool> m_usable;
    bool m_started = false;
    bool m_busy = false;
    bool m_again = false;
    bool m_refreshing = false;
};

} // namespace tamo
