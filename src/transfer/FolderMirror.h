#pragma once

#include "transfer/ChangeExport.h"
#include "transfer/ChangeImport.h"
#include "transfer/DeviceRewrite.h"
#include "transfer/HybridTime.h"
#include "transfer/RecordRows.h"
#include "transfer/SyncFolder.h"
#include "transfer/SyncLedger.h"

#include <memory>
#include <utility>

namespace tamo {

namespace sql { class Database; }

// Keeps one store in step with the sync folder through a connection of its
// own: exports what the store queued, imports what other devices wrote.
// Not tied to a thread; whoever owns it runs it on one thread only.
class FolderMirror
{
public:
    // Throws sql::Error when the store cannot be opened.
    FolderMirror(const QString &storeFile, const QString &folderRoot);
    ~FolderMirror();

    const QString &device() const { return m_device; }
    // What the user should know of the last runs (a new device identity);
    // empty when nothing. Reading it clears it.
    QString takeNotice() { return std::exchange(m_notice, {}); }
    // Creates this device's folder; the error text or empty.
    QString prepare(const QString &deviceName);
    // First checks that this device's folder is as this installation left it.
    ChangeExport::Result exportChanges(qint64 wallMillis, const std::atomic<bool> &stop = ChangeImport::neverStopped());
    // Stops between files and batches once `stop` is set. Records deleted by
    // what arrived are erased from the store's file and log.
    ChangeImport::Result importChanges(const std::atomic<bool> &stop = ChangeImport::neverStopped());
    // A reader kept the last import's erasure from finishing: the log still
    // holds deleted content until a later run, or the app's own connection,
    // finishes it.
    bool logHoldsDeletions() const { return m_logHoldsDeletions; }
    // Rewrites this device's files once content they hold was deleted; the
    // error text or empty.
    QString eraseDeleted(qint64 wallMillis, const std::atomic<bool> &stop = ChangeImport::neverStopped());

private:
    // The parts of the store that the export, import and rewrite share.
    MirrorStore store();
    void reviewOwnFolder();
    void mendClock(qint64 wallMillis);
    void takeNewDevice();
    void eraseLog();

    std::unique_ptr<sql::Database> m_db;
    SyncLedger m_ledger;
    RecordRows m_rows;
    SyncFolder m_folder;
    QString m_device;
    HybridClock m_clock;
    DeviceWriter m_writer;
    ChangeExport m_export;
    ChangeImport m_import;
    DeviceRewrite m_rewrite;
    QString m_deviceName;
    QString m_notice;
    bool m_logHoldsDeletions = false;
};

} // namespace tamo
