#include "transfer/SpooledPinboardFile.h"

#include "platform/RegularFile.h"
#include "transfer/ImportPlan.h"
#include "transfer/PinboardDocument.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QThread>

#include <cstring>

namespace tamo {

namespace {

[[noreturn]] void fail(const QString &text)
{
    throw ArchiveError(ArchiveError::Kind::decoding, text);
}

QString refusalText(const RegularFile &file)
{
    switch (file.refusal()) {
    case FileRefusal::notRegular:
        return QStringLiteral("It is not a regular file.");
    case FileRefusal::tooLarge:
        return QStringLiteral("The file is larger than %1 MB.").arg(PinboardArchive::maxFileBytes / (1024 * 1024));
    default:
        return file.errorString();
    }
}

template<typename T>
void put(QDataStream &stream, const std::optional<T> &value)
{
    stream << value.has_value();
    if (value)
        stream << *value;
}

template<typename T>
void get(QDataStream &stream, std::optional<T> &value)
{
    bool present = false;
    stream >> present;
    value.reset();
    if (present) {
        T read{};
        stream >> read;
        value = std::move(read);
    }
}

QDataStream &operator<<(QDataStream &stream, const PinboardArchive::Clip &clip)
{
    stream << clip.kind;
    put(stream, clip.title);
    put(stream, clip.text);
    stream << clip.keywords;
    put(stream, clip.rtf);
    put(stream, clip.image);
    put(stream, clip.imageWidth);
    put(stream, clip.imageHeight);
    put(stream, clip.filePaths);
    put(stream, clip.sourceBundleID);
    put(stream, clip.sourceAppName);
    stream << clip.createdAt;
    put(stream, clip.pinnedAt);
    put(stream, clip.iconEmoji);
    put(stream, clip.id);
    put(stream, clip.editedAt);
    return stream;
}

QDataStream &operator>>(QDataStream &stream, PinboardArchive::Clip &clip)
{
    stream >> clip.kind;
    get(stream, clip.title);
    get(stream, clip.text);
    stream >> clip.keywords;
    get(stream, clip.rtf);
    get(stream, clip.image);
    get(stream, clip.imageWidth);
    get(stream, clip.imageHeight);
    get(stream, clip.filePaths);
    get(stream, clip.sourceBundleID);
    get(stream, clip.sourceAppName);
    stream >> clip.createdAt;
    get(stream, clip.pinnedAt);
    get(stream, clip.iconEmoji);
    get(stream, clip.id);
    get(stream, clip.editedAt);
    return stream;
}

constexpr qint64 readAheadBytes = 1024 * 1024;

PinboardArchive::Clip readSpooled(QDataStream &stream)
{
    PinboardArchive::Clip clip;
    stream.setVersion(QDataStream::Qt_6_0);
    stream.setByteOrder(QDataStream::ByteOrder(QSysInfo::ByteOrder));
    stream >> clip;
    if (stream.status() != QDataStream::Ok)
        fail(QStringLiteral("What was read of the file couldn't be read back."));
    return clip;
}

} // namespace

// Hands each clip to the spool as the reader reads it.
class SpoolWriter final : public PinboardDocumentSink
{
public:
    SpoolWriter(SpooledPinboardFile &file, const std::atomic<bool> &cancelled)
        : m_file(file), m_stream(file.m_spool.get()), m_cancelled(cancelled)
    {
        m_stream.setVersion(QDataStream::Qt_6_0);
        // Read back on this machine: texts go as they are held, unswapped.
        m_stream.setByteOrder(QDataStream::ByteOrder(QSysInfo::ByteOrder));
    }

    void clip(PinboardArchive::Clip clip) override
    {
        // Hashing a large image takes a while.
        if (m_cancelled.load())
            throw ReadCancelled{};
        SpooledPinboardFile::Entry entry;
        entry.offset = m_file.m_spool->pos();
        const QByteArray hash = QByteArray::fromHex(contentHashOf(clip).toLatin1());
        std::memcpy(entry.hash.data(), hash.constData(), std::min<std::size_t>(entry.hash.size(), std::size_t(hash.size())));
        entry.hasID = clip.id.has_value();
        entry.id = clip.id.value_or(QUuid());
        m_stream << clip;
        if (m_stream.status() != QDataStream::Ok)
            fail(QStringLiteral("There isn't room to read the file: ") + m_file.m_spool->errorString());
        m_file.m_entries.push_back(entry);
    }

    void pinboard(PinboardArchive::Board board) override
    {
        const qsizetype end = m_file.clipCount();
        m_file.m_pinboards.append({std::move(board), m_firstClip, end - m_firstClip});
        m_firstClip = end;
    }

    void app(PinboardArchive::App app) override { m_file.m_apps.append(std::move(app)); }

private:
    SpooledPinboardFile &m_file;
    QDataStream m_stream;
    const std::atomic<bool> &m_cancelled;
    qsizetype m_firstClip = 0;
};

std::unique_ptr<SpooledPinboardFile> SpooledPinboardFile::read(const QString &path, const QString &spoolFolder,
                                                               const std::atomic<bool> &cancelled,
                                                               std::atomic<qint64> &bytesRead)
{
    RegularFile source = RegularFile::open(path, PinboardArchive::maxFileBytes, FileLinks::follow);
    if (!source.isOpen())
        fail(refusalText(source));
    auto file = std::make_unique<SpooledPinboardFile>();
    file->m_spool = std::make_unique<QTemporaryFile>(spoolFolder + QStringLiteral("/pinboard-import-XXXXXX"));
    if (!file->m_spool->open())
        fail(QStringLiteral("There isn't room to read the file: ") + file->m_spool->errorString());
    SpoolWriter writer(*file, cancelled);
    JsonStream stream(
        [&](char *into, qint64 maxBytes) {
            const qint64 read = source.read(into, maxBytes);
            if (read < 0)
                fail(refusalText(source));
            bytesRead += read;
            return read;
        },
        &cancelled);
    file->m_exportedAt = readPinboardDocument(stream, writer);
    if (!file->m_spool->flush())
        fail(QStringLiteral("There isn't room to read the file: ") + file->m_spool->errorString());
    file->m_spoolSize = file->m_spool->pos();
    // Read back on the main thread.
    if (QCoreApplication::instance())
        file->m_spool->moveToThread(QCoreApplication::instance()->thread());
    return file;
}

std::optional<QUuid> SpooledPinboardFile::clipID(qsizetype index) const
{
    const Entry &entry = m_entries[std::size_t(index)];
    return entry.hasID ? std::optional(entry.id) : std::nullopt;
}

QString SpooledPinboardFile::contentHash(qsizetype index) const
{
    return QString::fromLatin1(contentKey(index).toByteArray().toHex());
}

QByteArrayView SpooledPinboardFile::contentKey(qsizetype index) const
{
    const auto &hash = m_entries[std::size_t(index)].hash;
    return QByteArrayView(hash.data(), qsizetype(hash.size()));
}

QByteArray SpooledPinboardFile::spooledBytes(qint64 start, qint64 end)
{
    if (start < m_readAheadStart || end > m_readAheadStart + m_readAhead.size()) {
        m_readAhead.clear();
        if (!m_spool->seek(start))
            fail(QStringLiteral("What was read of the file couldn't be read back: ") + m_spool->errorString());
        m_readAhead = m_spool->read(std::max(end - start, readAheadBytes));
        m_readAheadStart = start;
        if (m_readAhead.size() < end - start)
            fail(QStringLiteral("What was read of the file couldn't be read back: ") + m_spool->errorString());
    }
    return QByteArray::fromRawData(m_readAhead.constData() + (start - m_readAheadStart), end - start);
}

PinboardArchive::Clip SpooledPinboardFile::clip(qsizetype index)
{
    const qint64 start = m_entries[std::size_t(index)].offset;
    const qint64 end = std::size_t(index + 1) < m_entries.size() ? m_entries[std::size_t(index + 1)].offset : m_spoolSize;
    if (end - start <= readAheadBytes) {
        QDataStream stream(spooledBytes(start, end));
        return readSpooled(stream);
    }
    // A large clip is read from the spool in place, so its bytes are never held twice.
    if (!m_spool->seek(start))
        fail(QStringLiteral("What was read of the file couldn't be read back: ") + m_spool->errorString());
    QDataStream stream(m_spool.get());
    return readSpooled(stream);
}

} // namespace tamo
