#pragma once

#include "transfer/PinboardArchive.h"

#include <QTemporaryFile>

#include <array>
#include <atomic>
#include <memory>

namespace tamo {

// A pinboard file read for an import. Its pinboards and apps are kept in
// memory; its clips, each as the reader left it (a long text cut), go to a
// spool file of our own, unnamed in a private folder so nothing of it
// outlives the process, with only what planning looks at for every clip
// (id and content hash) kept here. A file of a million clips or of texts of
// hundreds of megabytes costs a few bytes a clip and one clip at a time.
class SpooledPinboardFile
{
public:
    struct Pinboard
    {
        PinboardArchive::Board board; // without its clips
        qsizetype firstClip = 0;
        qsizetype clipCount = 0;
    };

    // Reads the file at `path` on the calling thread, spooling into
    // `spoolFolder` and counting the bytes read into `bytesRead`. Throws
    // ArchiveError with the text to show, or ReadCancelled once `cancelled`.
    static std::unique_ptr<SpooledPinboardFile> read(const QString &path, const QString &spoolFolder,
                                                     const std::atomic<bool> &cancelled,
                                                     std::atomic<qint64> &bytesRead);

    QDateTime exportedAt() const { return m_exportedAt; }
    const QList<Pinboard> &pinboards() const { return m_pinboards; }
    const QList<PinboardArchive::App> &apps() const { return m_apps; }
    qsizetype clipCount() const { return qsizetype(m_entries.size()); }

    std::optional<QUuid> clipID(qsizetype index) const;
    // The content hash the clip would have as a captured clip, and its bytes
    // (for sets of many clips).
    QString contentHash(qsizetype index) const;
    QByteArrayView contentKey(qsizetype index) const;
    // The whole clip, read back from the spool.
    PinboardArchive::Clip clip(qsizetype index);

private:
    friend class SpoolWriter;

    struct Entry
    {
        qint64 offset = 0;
        std::array<char, 32> hash{};
        QUuid id;
        bool hasID = false;
    };

    // Those bytes of the spool, valid until the next call.
    QByteArray spooledBytes(qint64 start, qint64 end);

    std::unique_ptr<QTemporaryFile> m_spool;
    qint64 m_spoolSize = 0;
    // A stretch of the spool, read ahead: clips are mostly read in order.
    QByteArray m_readAhead;
    qint64 m_readAheadStart = 0;
    QDateTime m_exportedAt;
    QList<Pinboard> m_pinboards;
    QList<PinboardArchive::App> m_apps;
    std::vector<Entry> m_entries;
};

} // namespace tamo
