#pragma once

#include "platform/ClipLimits.h"
#include "platform/RegularFile.h"
#include "transfer/HybridTime.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

#include <array>
#include <atomic>
#include <memory>
#include <optional>

namespace tamo {

struct EntitySpec;

// One change of one synced record as it travels between devices. Field
// values are in their JSON form (dates as milliseconds, lists as arrays);
// large bytes travel as blobs named by their SHA-256, an empty name meaning
// none.
struct SyncChange
{
    enum class Operation { upsert, remove };

    HybridTime time;
    QString entity;
    QString recordID;
    Operation operation = Operation::upsert;
    QJsonObject fields;
    QMap<QString, QString> blobs;

    bool operator==(const SyncChange &) const = default;
};

// An immutable file of changes written by one device: a header line, one
// line per change, and a footer line with the count and the SHA-256 of all
// bytes before it.
struct Segment
{
    static constexpr int format = 1;
    // Bounds that keep a hostile or damaged file from exhausting memory.
    static constexpr qsizetype largestFile = 256 * 1024 * 1024;
    // The longest string, in UTF-16 units: a clip's whole text.
    static constexpr qsizetype largestString = ClipLimits::largestText;
    // All the strings of one change together.
    static constexpr qsizetype largestChangeText = largestString + 4 * 1024 * 1024;
    static constexpr qsizetype largestList = 10'000;
    // Changes in one file: more than a file of the largest size holds of real ones.
    static constexpr qsizetype largestChanges = 2'000'000;
    // Changes a writer puts in one segment, and the most a reader holds at once.
    static constexpr qsizetype largestBatch = 1'000;
    // Bytes of change lines, and of the blobs they name, a reader holds at once.
    static constexpr qint64 largestBatchBytes = 16 * 1024 * 1024;
    // Where a writer cuts its files. One change alone may pass it: a whole
    // text of control characters, six bytes each in JSON, takes about 126 MB,
    // still half of what a reader takes.
    static constexpr qint64 largestWrittenBytes = 64 * 1024 * 1024;

    QString device;
    qint64 sequence = 0;
    QList<SyncChange> changes;

    QByteArray encode() const;
};

// The lines of a segment as a writer puts them out one at a time: the
// header first, each change as it comes, then the footer with the count and
// the checksum kept meanwhile.
class SegmentLines
{
public:
    SegmentLines(const QString &device, qint64 sequence);

    static QByteArray changeLine(const SyncChange &change);
    const QByteArray &header() const { return m_header; }
    void add(QByteArrayView changeLine);
    QByteArray footer() const;
    qsizetype count() const { return m_count; }

private:
    QByteArray m_header;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    qsizetype m_count = 0;
};

struct SegmentRead
{
    enum class Result {
        complete,
        incomplete, // no footer yet: still arriving, read again later
        newerFormat,
        refused, // damaged or hostile; `reason` says why
    };

    Result result = Result::refused;
    Segment segment;
    QString reason;
};

// Reads a segment strictly: every line must be an object of the expected
// shape, every field a column of a synced entity with the type of that
// column, every identity and blob name of its exact form.
SegmentRead readSegment(const QByteArray &bytes, const QString &expectedDevice, qint64 expectedSequence);

// A segment file read as readSegment reads bytes, but in two passes over the
// file so that neither its bytes, nor any line whole, nor all its changes are
// held at once: the first checks every line and the checksum, the second
// hands the changes out in batches.
class SegmentFile
{
public:
    SegmentFile(const QString &path, QString expectedDevice, qint64 expectedSequence);
    ~SegmentFile();

    // Why the file could not be opened; FileRefusal::none once it is.
    FileRefusal refusal() const { return m_file.refusal(); }
    QString errorString() const { return m_file.errorString(); }

    // The first pass; the changes are left out of the result. Once `stop` is
    // set it ends early as incomplete, to be read again another time.
    SegmentRead check(const std::atomic<bool> &stop);
    // After a complete check: the next changes, at most `count` and as many
    // as fit in `bytes` of their lines (one at least), empty at the end;
    // nothing when the file no longer reads as it was checked, or once the
    // check's `stop` is set.
    std::optional<QList<SyncChange>> nextChanges(qsizetype count, qint64 bytes = Segment::largestBatchBytes);
    bool handedOutAll() const { return m_handedOut == m_changes; }

private:
    class Lines;

    RegularFile m_file;
    QString m_device;
    qint64 m_sequence;
    qsizetype m_changes = 0;
    qsizetype m_handedOut = 0;
    const std::atomic<bool> *m_stop = nullptr;
    std::unique_ptr<Lines> m_lines;
};

// The entities whose records travel, and the one of that name (null for any other).
const std::array<const EntitySpec *, 3> &syncedEntities();
const EntitySpec *syncedEntity(QStringView name);

bool isBlobName(QStringView text);
QString blobNameOf(const QByteArray &bytes);

} // namespace tamo
