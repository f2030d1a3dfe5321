#include "transfer/PrivateCopy.h"

#include "app/CrashHandler.h"
#include "platform/RegularFile.h"
#include "transfer/PasteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <atomic>
#include <cstring>
#include <unistd.h>

namespace tamo {

using PasteImporter::ImportError;

namespace {

QString couldNotCopy(const QString &path, const QString &reason)
{
    return QStringLiteral("“%1” couldn't be copied: %2").arg(QFileInfo(path).fileName(), reason);
}

QString couldNotCreate(const QString &path)
{
    return QStringLiteral("The folder “%1” couldn't be created.").arg(path);
}

// The copy in use, kept where a crash handler can read it.
char folderInUse[4096];
char databaseInUse[256];
std::atomic<bool> copyInUse{false};

void appendText(char *&at, const char *end, const char *text)
{
    while (*text && at < end - 1)
        *at++ = *text++;
    *at = '\0';
}

void setInUse(const QByteArray &folder, const QByteArray &database)
{
    copyInUse.store(false);
    if (size_t(folder.size()) >= sizeof folderInUse || size_t(database.size()) >= sizeof databaseInUse)
        return;
    std::memcpy(folderInUse, folder.constData(), size_t(folder.size()) + 1);
    std::memcpy(databaseInUse, database.constData(), size_t(database.size()) + 1);
    copyInUse.store(true);
    CrashHandler::setCleanup(&PrivateCopy::removeCopyInUse);
}

} // namespace

void PrivateCopy::removeCopyInUse()
{
    if (!copyInUse.exchange(false))
        return;
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        char path[sizeof folderInUse + sizeof databaseInUse + 16];
        char *at = path;
        const char *end = path + sizeof path;
        appendText(at, end, folderInUse);
        appendText(at, end, "/");
        appendText(at, end, databaseInUse);
        appendText(at, end, suffix);
        ::unlink(path);
    }
    ::rmdir(folderInUse);
}

PrivateCopy::PrivateCopy(const QString &root)
    : m_path(QDir(root).filePath(QStringLiteral("TamoPasteImport-")
                                 + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()))
{
    if (!QDir().mkpath(root))
        throw ImportError::failed(couldNotCreate(root));
    if (!QDir().mkdir(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        throw ImportError::failed(couldNotCreate(m_path));
}

PrivateCopy::~PrivateCopy()
{
    if (copyInUse.load() && QFile::encodeName(m_path) == folderInUse) {
        copyInUse.store(false);
        CrashHandler::setCleanup(nullptr);
    }
    QDir(m_path).removeRecursively();
}

QString PrivateCopy::filePath(const QString &name) const
{
    return QDir(m_path).filePath(name);
}

void PrivateCopy::copyDatabase(const QString &folder, const QString &name)
{
    setInUse(QFile::encodeName(m_path), QFile::encodeName(name));
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString source = QDir(folder).filePath(name + suffix);
        if (!suffix.isEmpty() && !QFileInfo::exists(source))
            continue;
        copyFile(source, filePath(name + suffix));
    }
}

void PrivateCopy::copyFile(const QString &from, const QString &to)
{
    // The other app's folder: a FIFO or device there is refused, never waited on.
    RegularFile source = RegularFile::open(from, PasteImporter::maxDatabaseBytes, FileLinks::follow);
    QFile target(to);
    if (!source.isOpen())
        throw ImportError::failed(couldNotCopy(from, source.errorString()));
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner))
        throw ImportError::failed(couldNotCopy(from, target.errorString()));
    QByteArray buffer(1024 * 1024, Qt::Uninitialized);
    while (true) {
        const qint64 read = source.read(buffer.data(), buffer.size());
        if (read < 0)
            throw ImportError::failed(couldNotCopy(from, source.errorString()));
        if (read == 0)
            return;
        if (target.write(buffer.constData(), read) != read)
            throw ImportError::failed(couldNotCopy(from, target.errorString()));
    }
}

} // namespace tamo
