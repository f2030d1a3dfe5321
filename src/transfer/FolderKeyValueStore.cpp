#include "transfer/FolderKeyValueStore.h"

#include "platform/PrivateFiles.h"
#include "platform/RegularFile.h"
#include "transfer/DurableFile.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtConcurrent/QtConcurrentRun>

namespace tamo {

namespace {

constexpr qsizetype largestFile = 64 * 1024;
constexpr qsizetype longestKey = 256;

} // namespace

FolderKeyValueStore::FolderKeyValueStore(QString folderRoot, WallClock wallMillis, QObject *parent)
    : QObject(parent)
    , m_folder(std::move(folderRoot))
    , m_wallMillis(wallMillis ? std::move(wallMillis) : WallClock([] { return QDateTime::currentMSecsSinceEpoch(); }))
    , m_clock(QString())
{
    connect(&m_read, &QFutureWatcherBase::finished, this, &FolderKeyValueStore::readFinished);
}

void FolderKeyValueStore::setDevice(const QString &device, const Entries &own)
{
    // Values of a former identity stay in its file, stamped as they were.
    const Entries pending = m_device.isEmpty() ? m_own : Entries();
    m_device = device;
    m_clock = HybridClock(device, m_clock.last());
    m_own = own;
    const qint64 wallMillis = m_wallMillis();
    QStringList farAhead;
    for (auto it = m_own.cbegin(); it != m_own.cend(); ++it) {
        if (!m_clock.observe(it->time, wallMillis))
            farAhead.append(it.key());
    }
    // Values set before the device was known are stamped with it now, and
    // those an earlier version stamped far ahead, which no reader takes, again.
    for (auto it = pending.begin(); it != pending.end(); ++it)
        m_own.insert(it.key(), {it->value, m_clock.tick(wallMillis)});
    for (const QString &key : std::as_const(farAhead))
        m_own[key].time = m_clock.tick(wallMillis);
    for (auto it = m_own.begin(); it != m_own.end(); ++it) {
        const auto held = m_merged.constFind(it.key());
        if (held == m_merged.constEnd() || held->time < it->time)
            m_merged.insert(it.key(), *it);
    }
    m_ownWritten = pending.isEmpty() && farAhead.isEmpty();
    writeOwn();
}

void FolderKeyValueStore::setValue(const QString &key, const QVariant &value)
{
    const Entry entry{QJsonValue::fromVariant(value), m_clock.tick(m_wallMillis())};
    m_own.insert(key, entry);
    m_merged.insert(key, entry);
    m_ownWritten = false;
    writeOwn();
}

QVariant FolderKeyValueStore::value(const QString &key) const
{
    const auto found = m_merged.constFind(key);
    return found == m_merged.constEnd() ? QVariant() : found->value.toVariant();
}

void FolderKeyValueStore::synchronize(std::function<void()> whenDone)
{
    if (m_reading) {
        m_readAgain = true;
        if (whenDone)
            m_afterNextRead.append(std::move(whenDone));
        return;
    }
    if (whenDone)
        m_afterThisRead.append(std::move(whenDone));
    startRead();
}

void FolderKeyValueStore::startRead()
{
    m_reading = true;
    m_read.setFuture(QtConcurrent::run(&FolderKeyValueStore::readOthers, m_folder, m_device));
}

void FolderKeyValueStore::readFinished()
{
    m_reading = false;
    merge(m_read.result());
    const QList<std::function<void()>> done = std::exchange(m_afterThisRead, std::exchange(m_afterNextRead, {}));
    if (std::exchange(m_readAgain, false))
        startRead();
    for (const std::function<void()> &run : done)
        run();
}

QList<FolderKeyValueStore::Entries> FolderKeyValueStore::readOthers(const SyncFolder &folder, const QString &ownDevice)
{
    QList<Entries> others;
    const QStringList files = QDir(folder.root() + QStringLiteral("/kv")).entryList({QStringLiteral("*.json")}, QDir::Files);
    for (const QString &file : files) {
        const QString device = file.chopped(5);
        if (isSyncID(device) && device != ownDevice)
            others.append(readDevice(folder, device));
    }
    return others;
}

void FolderKeyValueStore::merge(const QList<Entries> &others)
{
    Entries merged = m_own;
    const qint64 wallMillis = m_wallMillis();
    for (const Entries &entries : others) {
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            // A value stamped far ahead would hold against every later one.
            if (!m_clock.observe(it->time, wallMillis)) {
                if (!m_farAheadNamed.contains(it->time.device)) {
                    m_farAheadNamed.insert(it->time.device);
                    qWarning().noquote() << QStringLiteral("TamoCove: the shared settings of device %1 are stamped "
                                                           "more than a day ahead of this computer's clock; they were "
                                                           "not taken")
                                                .arg(it->time.device);
                }
                continue;
            }
            const auto held = merged.constFind(it.key());
            if (held == merged.constEnd() || held->time < it->time)
                merged.insert(it.key(), *it);
        }
    }
    bool changed = false;
    for (auto it = merged.begin(); it != merged.end(); ++it) {
        const auto before = m_merged.constFind(it.key());
        if (it->time.device != m_device && (before == m_merged.constEnd() || before->value != it->value))
            changed = true;
    }
    m_merged = merged;
    writeOwn();
    if (changed)
        emit changedExternally();
}

FolderKeyValueStore::Entries FolderKeyValueStore::readDevice(const SyncFolder &folder, const QString &device)
{
    Entries entries;
    if (device.isEmpty())
        return entries;
    const FileContents file = readRegularFile(folder.keyValueFile(device), largestFile);
    const QJsonObject object = QJsonDocument::fromJson(file.bytes).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QJsonObject entry = it.value().toObject();
        const std::optional<HybridTime> time = HybridTime::parse(entry.value(QLatin1String("hlc")).toString());
        // An entry only counts as the device's own when its time says so.
        if (it.key().size() > longestKey || !entry.contains(QLatin1String("v")) || !time || time->device != device)
            continue;
        entries.insert(it.key(), {entry.value(QLatin1String("v")), *time});
    }
    return entries;
}

void FolderKeyValueStore::writeOwn()
{
    // Only into a folder the sync has set up: an unusable one stays untouched.
    if (m_ownWritten || m_device.isEmpty() || !QFileInfo::exists(m_folder.deviceFolder(m_device)))
        return;
    QJsonObject object;
    for (auto it = m_own.begin(); it != m_own.end(); ++it)
        object.insert(it.key(), QJsonObject{{QStringLiteral("v"), it->value}, {QStringLiteral("hlc"), it->time.toString()}});
    if (!privatefiles::makeFolder(QFileInfo(m_folder.keyValueFile(m_device)).absolutePath()))
        return;
    m_ownWritten = writeFileDurably(m_folder.keyValueFile(m_device), QJsonDocument(object).toJson(QJsonDocument::Compact))
                       .isEmpty();
}

} // namespace tamo
