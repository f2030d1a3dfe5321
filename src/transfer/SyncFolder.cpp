#include "transfer/SyncFolder.h"

#include "transfer/DurableFile.h"
#include "transfer/Segment.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUuid>

namespace tamo {

namespace {

// Blobs are bounded like the largest synced image and rich text.
constexpr qsizetype largestBlob = 64 * 1024 * 1024;

const QRegularExpression &segmentNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^seg-([0-9]{9})\\.jsonl$"));
    return pattern;
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
    return deviceFolder(device) + QStringLiteral("/seg-%1.jsonl").arg(sequence, 9, 10, QLatin1Char('0'));
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
    if (!root.exists() && !QDir().mkdir(m_root))
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
    const std::optional<QByteArray> bytes = readFileBounded(accountFile(), 64 * 1024);
    if (!bytes)
        return AccountStatus::couldNotDetermine;
    const QJsonValue format = QJsonDocument::fromJson(*bytes).object().value(QLatin1String("format"));
    if (format.toDouble() > Segment::format)
        return AccountStatus::temporarilyUnavailable;
    return AccountStatus::available;
}

QStringList SyncFolder::devices() const
{
    QStringList devices = QDir(m_root + QStringLiteral("/devices")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    devices.removeIf([](const QString &name) { return !isSyncID(name); });
    return devices;
}

QList<qint64> SyncFolder::segments(const QString &device) const
{
    QList<qint64> sequences;
    for (const QString &name : QDir(deviceFolder(device)).entryList(QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch match = segmentNamePattern().match(name);
        if (match.hasMatch() && match.capturedView(1).toLongLong() > 0)
            sequences.append(match.capturedView(1).toLongLong());
    }
    return sequences;
}

std::optional<QByteArray> SyncFolder::readBlob(const QString &device, const QString &blobName) const
{
    if (!isSyncID(device) || !isBlobName(blobName))
        return std::nullopt;
    std::optional<QByteArray> bytes = readFileBounded(blobFile(device, blobName), largestBlob);
    if (!bytes || bytes->size() > largestBlob || blobNameOf(*bytes) != blobName)
        return std::nullopt;
    return bytes;
}

DeviceWriter::DeviceWriter(const SyncFolder &folder, QString device)
    : m_folder(folder)
    , m_device(std::move(device))
{
}

QString DeviceWriter::prepare(const QString &deviceName)
{
    if (!QDir().mkpath(m_folder.deviceFolder(m_device) + QStringLiteral("/blobs")))
        return QStringLiteral("The sync folder can't be written.");
    if (QFileInfo::exists(m_folder.deviceFile(m_device)))
        return {};
    const QJsonObject device{{QStringLiteral("format"), Segment::format},
                             {QStringLiteral("name"), deviceName},
                             {QStringLiteral("created"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}};
    return writeFileDurably(m_folder.deviceFile(m_device), QJsonDocument(device).toJson(QJsonDocument::Compact));
}

QString DeviceWriter::writeBlob(const QByteArray &bytes, QString &blobName)
{
    blobName = blobNameOf(bytes);
    const QString path = m_folder.blobFile(m_device, blobName);
    if (QFileInfo::exists(path))
        return {};
    return writeFileDurably(path, bytes);
}

QString DeviceWriter::writeSegment(const Segment &segment)
{
    return writeFileDurably(m_folder.segmentFile(m_device, segment.sequence), segment.encode());
}

qint64 DeviceWriter::nextSequence() const
{
    const QList<qint64> written = m_folder.segments(m_device);
    return written.isEmpty() ? 1 : written.last() + 1;
}

} // namespace tamo
