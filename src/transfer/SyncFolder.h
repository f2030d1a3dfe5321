#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "transfer/Segment.h"
#include "transfer/SyncMirror.h"

namespace tamo {

class DurableFile;

// The folder that a file-sync engine keeps in step between the user's
// machines. No database ever lives in it, and each device writes only its
// own immutable files, so no two machines ever write the same file:
//   account.json                      who the folder belongs to
//   devices/<device>/device.json      who is there
//   devices/<device>/seg-<n>.jsonl    change segments, numbered from 1
//   devices/<device>/snapshot-<n>.jsonl  what segments 1 to n left current,
//                                     once a deletion had them rewritten
//   devices/<device>/blobs/<sha256>   image, rich-text and icon bytes
//   kv/<device>.json                  the shared settings one device wrote
class SyncFolder
{
public:
    explicit SyncFolder(QString root);

    const QString &root() const { return m_root; }
    QString accountFile() const;
    QString deviceFolder(const QString &device) const;
    QString deviceFile(const QString &device) const;
    QString segmentFile(const QString &device, qint64 sequence) const;
    QString snapshotFile(const QString &device, qint64 sequence) const;
    QString blobFile(const QString &device, const QString &blobName) const;
    QString keyValueFile(const QString &device) const;

    // Whether the folder can hold our files; claims an empty folder for the
    // account by writing account.json.
    AccountStatus accountStatus() const;

    // Whether the device's folder is set up (its device.json and blobs).
    bool holdsDevice(const QString &device) const;
    // The name the device gave itself (its host name); empty when unknown.
    QString deviceName(const QString &device) const;
    // Devices with a folder of the right name; anything else is ignored.
    QStringList devices() const;
    // The device's complete-named segments and snapshots, in order.
    QList<qint64> segments(const QString &device) const;
    QList<qint64> snapshots(const QString &device) const;

    // The bytes of a blob once all of them have arrived (their hash matches
    // their name); empty while it is missing or still arriving, or when it is
    // larger than any blob a device writes, which `tooLarge` tells.
    std::optional<QByteArray> readBlob(const QString &device, const QString &blobName, bool *tooLarge = nullptr) const;

private:
    QString m_root;
};

// One file of this device written a change at a time, so that no more than
// one change is held: it takes its name once finished; dropped before that,
// it leaves nothing behind.
class SegmentOutput
{
public:
    SegmentOutput(const QString &path, const QString &device, qint64 sequence);
    ~SegmentOutput();

    qint64 sequence() const { return m_sequence; }
    qsizetype changes() const { return m_lines.count(); }
    // Whether a change line of `lineBytes` keeps the file within what a
    // writer cuts at; an empty file takes any.
    bool fits(qsizetype lineBytes) const;
    // Both give the error text, or empty.
    QString add(const QByteArray &changeLine);
    QString finish();

private:
    QString failure() const;

    std::unique_ptr<DurableFile> m_file;
    SegmentLines m_lines;
    qint64 m_sequence;
    qint64 m_bytes = 0;
};

// What one device writes into its own folder. Each call leaves the folder
// whole: blobs are written before the segment that names them.
class DeviceWriter
{
public:
    DeviceWriter(const SyncFolder &folder, QString device);

    const QString &device() const { return m_device; }
    void setDevice(const QString &device) { m_device = device; }
    // Creates the device folder and its device.json; the error text or empty.
    QString prepare(const QString &deviceName);
    // Stores bytes under their hash (once); the error text or empty.
    QString writeBlob(const QByteArray &bytes, QString &blobName);
    std::unique_ptr<SegmentOutput> beginSegment(qint64 sequence) const;
    std::unique_ptr<SegmentOutput> beginSnapshot(qint64 sequence) const;
    // The number the next segment takes: one past the last one written,
    // by the count kept with the store or by what the folder shows.
    qint64 nextSequence(qint64 lastWritten) const;

    // Once a snapshot is written: removes the files it replaced (those
    // numbered up to it) and the blobs it and the files after it do not
    // name; the error text or empty.
    QString removeReplaced(qint64 snapshotSequence, const QSet<QString> &blobNames);
    // Whether a file of this device is larger than readers take.
    bool holdsOversizedFile() const;

private:
    // Durably, with the user's text on failure.
    QString write(const QString &path, const QByteArray &bytes) const;

    const SyncFolder &m_folder;
    QString m_device;
};

} // namespace tamo
