#include "app/WaitingCopies.h"

#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Sqlite.h"
#include "model/SourceAppPublisher.h"
#include "model/SyncState.h"
#include "platform/Clock.h"
#include "platform/PrivateFiles.h"
#include "platform/RegularFile.h"

#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QThread>

#include <unistd.h>

namespace tamo {

namespace {

constexpr quint32 fileMagic = 0x54435743; // "TCWC"
constexpr quint8 fileVersion = 1;
// Far above what a capture keeps (a text, its rich text and an image).
constexpr qint64 largestFile = qint64(1) << 30;
// A store that fails for another reason than a lock (a full disk) is tried
// again after this.
constexpr int failedSaveRetryMs = 1000;

// Each waiting copy is dated when it was copied, not when it is written.
class CopyTime final : public Clock
{
public:
    explicit CopyTime(QDateTime at) : m_at(std::move(at)) {}
    QDateTime now() const override { return m_at; }

private:
    QDateTime m_at;
};

qsizetype bytesOf(const ClipDraft &draft)
{
    qsizetype bytes = draft.text ? draft.text->size() * qsizetype(sizeof(QChar)) : 0;
    bytes += draft.rtfData ? draft.rtfData->size() : 0;
    bytes += draft.imageData ? draft.imageData->size() : 0;
    for (const QString &path : draft.filePaths)
        bytes += path.size() * qsizetype(sizeof(QChar));
    return bytes;
}

// Optional fields travel as QVariants, invalid for none.
template<typename T>
QVariant variantOf(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

QByteArray encoded(const ClipDraft &draft, const QDateTime &copiedAt)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    // Texts as UTF-8: most copies are half the size so.
    const std::optional<QByteArray> text = draft.text ? std::optional(draft.text->toUtf8()) : std::nullopt;
    out << fileMagic << fileVersion << copiedAt.toMSecsSinceEpoch() << rawValue(draft.kind) << variantOf(text)
        << variantOf(draft.rtfData) << variantOf(draft.imageData) << qint32(draft.imageWidth)
        << qint32(draft.imageHeight) << draft.filePaths << variantOf(draft.sourceBundleID)
        << variantOf(draft.sourceAppName) << variantOf(draft.title) << variantOf(draft.contentHash);
    return bytes;
}

std::optional<std::pair<ClipDraft, QDateTime>> decoded(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    quint8 version = 0;
    in >> magic >> version;
    if (magic != fileMagic || version != fileVersion)
        return std::nullopt;
    qint64 copiedAt = 0;
    QString kind;
    QVariant text, rtf, image, bundleID, appName, title, hash;
    qint32 width = 0;
    qint32 height = 0;
    ClipDraft draft;
    in >> copiedAt >> kind >> text >> rtf >> image >> width >> height >> draft.filePaths >> bundleID >> appName
        >> title >> hash;
    const std::optional<ClipKind> known = clipKindFromRaw(kind);
    if (in.status() != QDataStream::Ok || !known)
        return std::nullopt;
    const auto bytesIn = [](const QVariant &value) { return value.isValid() ? std::optional(value.toByteArray()) : std::nullopt; };
    const auto stringIn = [](const QVariant &value) { return value.isValid() ? std::optional(value.toString()) : std::nullopt; };
    draft.kind = *known;
    if (text.isValid())
        draft.text = QString::fromUtf8(text.toByteArray());
    draft.rtfData = bytesIn(rtf);
    draft.imageData = bytesIn(image);
    draft.imageWidth = width;
    draft.imageHeight = height;
    draft.sourceBundleID = stringIn(bundleID);
    draft.sourceAppName = stringIn(appName);
    draft.title = stringIn(title);
    draft.contentHash = stringIn(hash);
    return std::pair{std::move(draft), QDateTime::fromMSecsSinceEpoch(copiedAt)};
}

void report(const QString &problem)
{
    qWarning().noquote() << QStringLiteral("TamoCove: ") + problem;
}

} // namespace

WaitingCopies::WaitingCopies(ModelContainer &container, QObject *parent)
    : QObject(parent)
    , m_container(container)
    , m_folder(QDir(container.storeDirectory()).filePath(QLatin1String(folderName)))
{
    qRegisterMetaType<tamo::SavedCopy>();
    const QDir folder(m_folder);
    for (const QString &part : folder.entryList({QStringLiteral("*.part")}, QDir::Files))
        QFile::remove(folder.filePath(part)); // cut short by a crash; its copy was never let go
    // Named by date, so in copy order.
    for (const QString &name : folder.entryList({QStringLiteral("*.copy")}, QDir::Files, QDir::Name))
        m_copies.push_back({std::nullopt, folder.filePath(name), {}, 0});
    m_thread = QThread::create([this] { write(); });
    m_thread->start();
}

WaitingCopies::~WaitingCopies()
{
    finish(QDeadlineTimer(0));
    delete m_thread;
}

void WaitingCopies::add(ClipDraft draft, const QDateTime &copiedAt)
{
    const qsizetype bytes = bytesOf(draft);
    const QMutexLocker locker(&m_lock);
    m_copies.push_back({std::move(draft), {}, copiedAt, bytes});
    m_inMemory += bytes;
    m_changed.wakeAll();
}

bool WaitingCopies::isEmpty() const
{
    const QMutexLocker locker(&m_lock);
    return m_copies.empty();
}

qsizetype WaitingCopies::bytesInMemory() const
{
    const QMutexLocker locker(&m_lock);
    return m_inMemory;
}

qsizetype WaitingCopies::finish(QDeadlineTimer deadline)
{
    {
        QMutexLocker locker(&m_lock);
        while (!m_copies.empty() && !m_stop && m_changed.wait(&m_lock, deadline)) {
        }
        m_stop = true;
        m_changed.wakeAll();
    }
    m_thread->wait();
    const QMutexLocker locker(&m_lock);
    for (Copy &copy : m_copies) {
        if (copy.draft && keepInFile(*copy.draft, copy.copiedAt).isEmpty())
            report(QStringLiteral("lost a copied clip that waited for the store: it could not be kept in %1").arg(m_folder));
    }
    const qsizetype left = qsizetype(m_copies.size());
    m_copies.clear();
    m_inMemory = 0;
    return left;
}

void WaitingCopies::write()
{
    for (;;) {
        std::optional<std::pair<ClipDraft, QDateTime>> copy = next();
        if (!copy) {
            const QMutexLocker locker(&m_lock);
            if (m_stop)
                return;
            continue;
        }
        if (!saveFront(copy->first, copy->second))
            return;
    }
}

std::optional<std::pair<ClipDraft, QDateTime>> WaitingCopies::next()
{
    QString file;
    {
        QMutexLocker locker(&m_lock);
        while (m_copies.empty() && !m_stop)
            m_changed.wait(&m_lock);
        if (m_stop)
            return std::nullopt;
        const Copy &front = m_copies.front();
        if (front.draft)
            return std::pair{*front.draft, front.copiedAt};
        file = front.file;
    }
    const FileContents contents = readRegularFile(file, largestFile);
    auto copy = contents.ok() ? decoded(contents.bytes) : std::nullopt;
    if (!copy) {
        report(QStringLiteral("dropped a copied clip that waited for the store: %1 cannot be read (%2)")
                   .arg(file, contents.ok() ? QStringLiteral("not a copy this version wrote") : contents.error));
        done();
    }
    return copy;
}

// Written as capture writes a copy, in a transaction of its own, so the
// copy is in the store at once and its memory or file is let go.
bool WaitingCopies::saveFront(const ClipDraft &draft, const QDateTime &copiedAt)
{
    const CopyTime clock(copiedAt);
    const NoSync noSync; // the main thread publishes the source app
    try {
        const std::unique_ptr<sql::Database> db = m_container.openConnection();
        ModelContext context(*db, {});
        SourceAppPublisher sourceApps(context, noSync, nullptr);
        ClipLibrary clips(context, clock, sourceApps);
        const IngestResult result = clips.ingestUnsaved(draft);
        bool told = false;
        while (!context.save()) {
            if (!told) {
                report(QStringLiteral("copied clips wait for the store: %1").arg(context.lastError()));
                told = true;
            }
            QMutexLocker locker(&m_lock);
            keepOverBudgetInFiles(locker);
            if (m_stop)
                return false;
            locker.unlock();
            // A lock held elsewhere is waited for inside the save.
            if (!context.lastSaveFoundStoreHeld())
                waitUnlessStopped(failedSaveRetryMs);
        }
        ClipDraft source;
        source.kind = draft.kind;
        source.sourceBundleID = draft.sourceBundleID;
        source.sourceAppName = draft.sourceAppName;
        done();
        emit saved({result.clip->storeKey(), result.clip->id(), result.isNew, std::move(source)});
        return true;
    } catch (const sql::Error &error) {
        report(QStringLiteral("copied clips wait for the store, which cannot be opened: %1").arg(error.message()));
        waitUnlessStopped(failedSaveRetryMs);
        const QMutexLocker locker(&m_lock);
        return !m_stop;
    }
}

void WaitingCopies::done()
{
    const QMutexLocker locker(&m_lock);
    Copy &front = m_copies.front();
    if (front.draft)
        m_inMemory -= front.bytes;
    if (!front.file.isEmpty())
        QFile::remove(front.file);
    m_copies.pop_front();
    m_changed.wakeAll();
}

void WaitingCopies::keepOverBudgetInFiles(QMutexLocker<QMutex> &locker)
{
    // By index: adding a copy moves the deque's iterators, not its indices,
    // and only this thread takes copies off the front.
    for (size_t index = m_copies.size() - 1; m_inMemory > memoryBudget && index > 0; --index) {
        if (!m_copies[index].draft)
            continue;
        const ClipDraft draft = *std::exchange(m_copies[index].draft, std::nullopt);
        const QDateTime copiedAt = m_copies[index].copiedAt;
        locker.unlock();
        const QString file = keepInFile(draft, copiedAt);
        locker.relock();
        if (file.isEmpty()) {
            m_copies[index].draft = draft;
            return;
        }
        m_copies[index].file = file;
        m_inMemory -= m_copies[index].bytes;
    }
}

QString WaitingCopies::keepInFile(const ClipDraft &draft, const QDateTime &copiedAt)
{
    if (!privatefiles::makeFolder(m_folder)) {
        report(QStringLiteral("cannot make %1 for copied clips that wait for the store").arg(m_folder));
        return {};
    }
    const QString name = QStringLiteral("%1-%2.copy")
                             .arg(copiedAt.toMSecsSinceEpoch(), 13, 10, QLatin1Char('0'))
                             .arg(++m_fileNumber, 6, 10, QLatin1Char('0'));
    const QString path = QDir(m_folder).filePath(name);
    QFile file(path + QStringLiteral(".part"));
    const QByteArray bytes = encoded(draft, copiedAt);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                                   QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        && file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    if (!written || !file.rename(path)) {
        report(QStringLiteral("cannot keep a copied clip that waits for the store in %1: %2").arg(path, file.errorString()));
        file.remove();
        return {};
    }
    return path;
}

void WaitingCopies::waitUnlessStopped(int milliseconds)
{
    QMutexLocker locker(&m_lock);
    if (!m_stop)
        m_changed.wait(&m_lock, QDeadlineTimer(milliseconds));
}

} // namespace tamo
