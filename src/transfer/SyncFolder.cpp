#include "transfer/SyncFolder.h"

#include "model/ClipLibrary.h"
#include "platform/PrivateFiles.h"
#include "platform/RegularFile.h"
#include "transfer/DurableFile.h"
#include "transfer/Segment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tamo {

namespace {

const QRegularExpression &segmentNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^seg-([0-9]{9})\\.jsonl$"));
    return pattern;
}

const QRegularExpression &snapshotNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^snapshot-([0-9]{9})\\.jsonl$"));
    return pattern;
}

QList<qint64> numberedFiles(const QString &folder, const QRegularExpression &pattern)
{
    QList<qint64> sequences;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (match.hasMatch() && match.capturedView(1).toLongLong() > 0)
            sequences.append(match.capturedView(1).toLongLong());
    }
    return sequences;
}

QString numberedName(const char *prefix, qint64 sequence)
{
    return QStringLiteral("/%1-%2.jsonl").arg(QLatin1String(prefix)).arg(sequence, 9, 10, QLatin1Char('0'));
}

// What a failed write into the folder means for the user.
QString writeFailure(int errorNumber, const QString &systemText)
{
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Not enough disk space to sync.");
    case EACCES:
    case EPERM:
        return QStringLiteral("The sync folder can't be written: permission denied.");
    case EROFS:
        return QStringLiteral("The sync folder can't be written: its disk is read-only.");
    default:
        return QStringLiteral("The sync folder can't be written: %1.").arg(systemText);
    }
}

} // namespace

SyncFolder::SyncFolder(QString root)
    : m_root(std::move(root))
{
}

QString SyncFolder::accountFile() const
{
    return m_root + QStringLiteral("/account.json");
}

QString SyncFolder::deviceFolder(const QString &device) const
{
    return m_root + QStringLiteral("/devices/") + device;
}

QString SyncFolder::deviceFile(const QString &device) const
{
    return deviceFolder(device) + QStringLiteral("/device.json");
}

QString SyncFolder::segmentFile(const QString &device, qint64 sequence) const
{
    return deviceFolder(device) + numberedName("seg", sequence);
}

QString SyncFolder::snapshotFile(const QString &device, qint64 sequence) const
{
    return deviceFolder(device) + numberedName("snapshot", sequence);
}

QString SyncFolder::blobFile(const QString &device, const QString &blobName) const
{
    return deviceFolder(device) + QStringLiteral("/blobs/") + blobName;
}

QString SyncFolder::keyValueFile(const QString &device) const
{
    return m_root + QStringLiteral("/kv/") + device + QStringLiteral(".json");
}

AccountStatus SyncFolder::accountStatus() const
{
    const QFileInfo root(m_root);
    if (m_root.isEmpty() || !root.absoluteDir().exists())
        return AccountStatus::noAccount;
    if (!root.exists() && !privatefiles::makeFolder(m_root))
        return AccountStatus::restricted;
    if (!root.isDir())
        return AccountStatus::noAccount;
    if (!QFileInfo(m_root).isWritable())
        return AccountStatus::restricted;
    if (!QFileInfo::exists(accountFile())) {
        const QJsonObject account{{QStringLiteral("format"), Segment::format},
                                  {QStringLiteral("accountID"), QUuid::createUuid().toString(QUuid::WithoutBraces)}};
        return writeFileDurably(accountFile(), QJsonDocument(account).toJson(QJsonDocument::Compact)).isEmpty()
                   ? AccountStatus::available
                   : AccountStatus::restricted;
    }
    const FileContents account = readRegularFile(accountFile(), 64 * 1024);
    if (!account.ok())
        return AccountStatus::couldNotDetermine;
    const QJsonValue format = QJsonDocument::fromJson(account.bytes).object().value(QLatin1String("format"));
    if (format.toDouble() > Segment::format)
        return AccountStatus::temporarilyUnavailable;
    return AccountStatus::available;
}

bool SyncFolder::holdsDevice(const QString &device) const
{
    return isSyncID(device) && QFileInfo(deviceFile(device)).isFile()
           && QFileInfo(deviceFolder(device) + QStringLiteral("/blobs")).isDir();
}

QString SyncFolder::deviceName(const QString &device) const
{
    constexpr qsizetype longestName = 255;
    const FileContents file = readRegularFile(deviceFile(device), 64 * 1024);
    const QJsonValue name = QJsonDocument::fromJson(file.bytes).object().value(QLatin1String("name"));
    return name.isString() && name.toString().size() <= longestName ? name.toString() : QString();
}

QStringList SyncFolder::devices() const
{
    QStringList devices = QDir(m_root + QStringLiteral("/devices")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    devices.removeIf([](const QString &name) { return !isSyncID(name); });
    return devices;
}

QList<qint64> SyncFolder::segments(const QString &device) const
{
    return numberedFiles(deviceFolder(device), segmentNamePattern());
}

QList<qint64> SyncFolder::snapshots(const QString &device) const
{
    return numberedFiles(deviceFolder(device), snapshotNamePattern());
}

std::optional<QByteArray> SyncFolder::readBlob(const QString &device, const QString &blobName, bool *tooLarge) const
{
    if (!isSyncID(device) || !isBlobName(blobName))
        return std::nullopt;
    // Larger images stay on the device that holds them.
    FileContents blob = readRegularFile(blobFile(device, blobName), ClipLibrary::largestSyncedImage);
    if (tooLarge)
        *tooLarge = blob.refusal == FileRefusal::tooLarge;
    if (!blob.ok() || blobNameOf(blob.bytes) != blobName)
        return std::nullopt;
    return std::move(blob.bytes);
}

QString DeviceWriter::write(const QString &path, const QByteArray &bytes) const
{
    int errorNumber = 0;
    const QString error = writeFileDurably(path, bytes, &errorNumber);
    return error.isEmpty() ? QString() : writeFailure(errorNumber, error);
}

DeviceWriter::DeviceWriter(const SyncFolder &folder, QString device)
    : m_folder(folder)
    , m_device(std::move(device))
{
}

QString DeviceWriter::prepare(const QString &deviceName)
{
    if (!privatefiles::makeFolder(m_folder.deviceFolder(m_device) + QStringLiteral("/blobs")))
        return writeFailure(errno, QString::fromLocal8Bit(std::strerror(errno)));
    // What an earlier version left open to others: the folder's own files
    // and folders, not those other devices wrote.
    for (const QString &shared : {m_folder.root(), m_folder.root() + QStringLiteral("/devices"),
                                  m_folder.root() + QStringLiteral("/kv"), m_folder.accountFile(),
                                  m_folder.keyValueFile(m_device)})
        privatefiles::tightenOne(shared);
    privatefiles::tighten(m_folder.deviceFolder(m_device));
    if (QFileInfo::exists(m_folder.deviceFile(m_device)))
        return {};
    const QJsonObject device{{QStringLiteral("format"), Segment::format},
                             {QStringLiteral("name"), deviceName},
                             {QStringLiteral("created"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}};
    return write(m_folder.deviceFile(m_device), QJsonDocument(device).toJson(QJsonDocument::Compact));
}

QString DeviceWriter::writeBlob(const QByteArray &bytes, QString &blobName)
{
    blobName = blobNameOf(bytes);
    const QString path = m_folder.blobFile(m_device, blobName);
    if (QFileInfo::exists(path))
        return {};
    return write(path, bytes);
}

SegmentOutput::SegmentOutput(const QString &path, const QString &device, qint64 sequence)
    : m_file(std::make_unique<DurableFile>(path))
    , m_lines(device, sequence)
    , m_sequence(sequence)
{
    m_file->append(m_lines.header());
    m_bytes = m_lines.header().size();
}

SegmentOutput::~SegmentOutput() = default;

bool SegmentOutput::fits(qsizetype lineBytes) const
{
    return changes() == 0 || (changes() < Segment::largestBatch && m_bytes + lineBytes <= Segment::largestWrittenBytes);
}

QString SegmentOutput::failure() const
{
    return writeFailure(m_file->error(), QString::fromLocal8Bit(std::strerror(m_file->error())));
}

QString SegmentOutput::add(const QByteArray &changeLine)
{
    m_lines.add(changeLine);
    m_bytes += changeLine.size();
    return m_file->append(changeLine) ? QString() : failure();
}

QString SegmentOutput::finish()
{
    return m_file->append(m_lines.footer()) && m_file->commit() ? QString() : failure();
}

std::unique_ptr<SegmentOutput> DeviceWriter::beginSegment(qint64 sequence) const
{
    return std::make_unique<SegmentOutput>(m_folder.segmentFile(m_device, sequence), m_device, sequence);
}

std::unique_ptr<SegmentOutput> DeviceWriter::beginSnapshot(qint64 sequence) const
{
    return std::make_unique<SegmentOutput>(m_folder.snapshotFile(m_device, sequence), m_device, sequence);
}

bool DeviceWriter::holdsOversizedFile() const
{
    const QFileInfoList files = QDir(m_folder.deviceFolder(m_device)).entryInfoList({QStringLiteral("*.jsonl")}, QDir::Files);
    return std::any_of(files.begin(), files.end(), [](const QFileInfo &file) { return file.size() > Segment::largestFile; });
}

qint64 DeviceWriter::nextSequence(qint64 lastWritten) const
{
    qint64 last = lastWritten;
    for (const QList<qint64> &files : {m_folder.segments(m_device), m_folder.snapshots(m_device)}) {
        if (!files.isEmpty())
            last = std::max(last, files.last());
    }
    return last + 1;
}

QString DeviceWriter::removeReplaced(qint64 snapshotSequence, const QSet<QString> &blobNames)
{
    QStringList stale;
    for (const qint64 sequence : m_folder.segments(m_device)) {
        if (sequence <= snapshotSequence)
            stale.append(m_folder.segmentFile(m_device, sequence));
    }
    for (const qint64 sequence : m_folder.snapshots(m_device)) {
        if (sequence < snapshotSequence)
            stale.append(m_folder.snapshotFile(m_device, sequence));
    }
    const QString blobs = m_folder.deviceFolder(m_device) + QStringLiteral("/blobs");
    for (const QString &name : QDir(blobs).entryList(QDir::Files | QDir::Hidden)) {
        if (!blobNames.contains(name))
            stale.append(blobs + QLatin1Char('/') + name);
    }
    for (const QString &path : std::as_const(stale)) {
        if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
            return QStringLiteral("An old sync file could not be removed: %1. File: %2")
                .arg(QString::fromLocal8Bit(std::strerror(errno)), QDir(m_folder.root()).relativeFilePath(path));
    }
    return {};
}

} // namespace tamo
