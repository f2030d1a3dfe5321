#include "transfer/PrivateCopy.h"

#include "transfer/PasteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

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

} // namespace

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
    QDir(m_path).removeRecursively();
}

QString PrivateCopy::filePath(const QString &name) const
{
    return QDir(m_path).filePath(name);
}

void PrivateCopy::copyDatabase(const QString &folder, const QString &name)
{
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString source = QDir(folder).filePath(name + suffix);
        if (!suffix.isEmpty() && !QFileInfo::exists(source))
            continue;
        copyFile(source, filePath(name + suffix));
    }
}

void PrivateCopy::copyFile(const QString &from, const QString &to)
{
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly))
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
