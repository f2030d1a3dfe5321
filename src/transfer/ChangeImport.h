#pragma once

#include "transfer/ContentHashRepair.h"
#include "transfer/MirrorStore.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>

namespace tamo {

class SegmentFile;
class SyncFolder;
struct SyncChange;

// Applies the segments other devices wrote, each once and in order, every
// field by last-writer-wins on its hybrid timestamp; deletions win and the
// records they name never come back. Where segments were rewritten into a
// snapshot, the snapshot stands in for them. A file still arriving, or
// naming a blob not here yet, waits for the next run; a file refused is
// named once and passed over.
class ChangeImport
{
public:
    using ChangedRows = QHash<QString, QSet<qint64>>;

    ChangeImport(const MirrorStore &store, const SyncFolder &folder, QString ownDevice);

    struct Result
    {
        int applied = 0;        // segments
        ChangedRows changed;    // per record type, the keys of the rows that changed
        int removed = 0;        // records
        int repairedHashes = 0; // clips that came without the hash of their content
        int setAside = 0;       // edits stamped far ahead of this machine's clock
        QStringList failures;   // texts for the user: files refused, devices that wait
    };
    // Stops between files and batches once `stop` is set.
    Result run(const std::atomic<bool> &stop = neverStopped());
    void setOwnDevice(const QString &device) { m_ownDevice = device; }

    static const std::atomic<bool> &neverStopped()
    {
        static const std::atomic<bool> never{false};
        return never;
    }

private:
    enum class FileRead { applied, refused, waits };
    FileRead readFile(const QString &device, qint64 sequence, bool segment, Result &result,
                      const std::atomic<bool> &stop);
    // False when the segment has to wait (a blob it names has not arrived,
    // or the import is stopped), or is refused, which `refusal` then says.
    bool apply(const QString &device, SegmentFile &file, Result &result, const std::atomic<bool> &stop,
               QString &refusal);
    QString failureText(const QString &device, const QString &path, const QString &reason, const QString &what) const;
    QString nameOf(const QString &device) const;
    enum class BlobsRead { held, missing, tooLarge };
    BlobsRead readBlobs(const QString &device, const QList<SyncChange> &batch, qsizetype from,
                        QHash<QString, QByteArray> &blobs) const;
    qsizetype applyChanges(const QList<SyncChange> &batch, qsizetype from, const QHash<QString, QByteArray> &blobs,
                           Result &result);
    void applyChange(const SyncChange &change, const QHash<QString, QByteArray> &blobs, Result &result);
    void reportRepairedHashes(const QString &device, int count) const;

    // How long one transaction of an import runs at most, and how long it
    // then waits at most for a save of the app's to take the store.
    static constexpr qint64 transactionMilliseconds = 25;
    static constexpr qint64 yieldMilliseconds = 200;

    MirrorStore m_store;
    ContentHashRepair m_hashes;
    const SyncFolder &m_folder;
    QString m_ownDevice;
    qint64 m_wallMillis = 0;
    // Devices named in the log for edits stamped far ahead, once each.
    QSet<QString> m_setAsideNamed;
};

} // namespace tamo
