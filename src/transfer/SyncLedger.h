#pragma once

#include "transfer/HybridTime.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace tamo {

namespace sql { class Database; }

// What sync remembers beside the synced records, in the synced store's own
// file but never copied to the folder: when each field was last written
// (for last-writer-wins), which records were deleted (deletions win), how
// far each other device's segments are applied, and this device's identity
// and clock. It holds no content: a field is known by a short digest only,
// and a deleted record keeps nothing but its identity.
class SyncLedger
{
public:
    explicit SyncLedger(sql::Database &db);

    struct FieldWrite
    {
        HybridTime time;
        QByteArray digest;
    };
    std::optional<FieldWrite> field(const QString &recordID, const QString &field);
    void setField(const QString &recordID, const QString &field, const FieldWrite &write);

    bool isDeleted(const QString &recordID);
    // Keeps the identity only and forgets every field write of the record;
    // when this device's files hold its content, they are due a rewrite.
    void markDeleted(const QString &entity, const QString &recordID);
    // Every deleted record as (entity, record identity).
    QList<std::pair<QString, QString>> deletions();
    // The record's field writes: field name and time.
    QList<std::pair<QString, HybridTime>> fieldTimes(const QString &recordID);
    // Forgets the field writes stamped past what readers take, or as no
    // honest clock stamps; the records they belonged to.
    QStringList forgetImpossibleFields(qint64 wallMillis);

    qint64 appliedSequence(const QString &device);
    void setAppliedSequence(const QString &device, qint64 sequence);

    // The last file of another device this one refused and read past,
    // until a snapshot that replaced it has been read.
    struct RefusedFile
    {
        qint64 sequence = 0;
        bool snapshot = false;

        bool replacedBy(qint64 snapshotSequence) const
        {
            return snapshotSequence > sequence || (snapshotSequence == sequence && !snapshot);
        }
    };
    std::optional<RefusedFile> refusedFile(const QString &device);
    void setRefusedFile(const QString &device, const std::optional<RefusedFile> &file);

    // The number of the last file this device wrote; it goes on counting
    // after its files are rewritten and the old ones removed.
    qint64 writtenSequence();
    void setWrittenSequence(qint64 sequence);
    // The highest number this device noted before writing a file (it may
    // have been cut short before its sequence was saved); never lowered.
    qint64 reservedSequence();
    void reserveSequence(qint64 sequence);

    // Records whose content this device's own files hold.
    void noteWritten(const QString &recordID);
    bool erasurePending();
    // Has this device's files rewritten from the store at the next chance;
    // `forEveryReader` when a reader may have refused one of them (too large,
    // or stamped past what readers take): the rewrite then goes to every
    // reader, however far it read.
    void requestRewrite(bool forEveryReader = false);
    bool rewriteForEveryReader();
    // After a rewrite: the files hold exactly these records, nothing deleted.
    void resetWritten(const QSet<QString> &recordIDs);

    // This installation's identity, and the ones it wrote under before.
    QString device();
    QSet<QString> ownDevices();
    // From now on this installation writes under `device`, into a folder of
    // its own that a rewrite fills with what it wrote before.
    void takeNewDevice(const QString &device);

    QString value(const QString &key);
    void setValue(const QString &key, const QString &value);

private:
    sql::Database &m_db;
};

} // namespace tamo
