#include "transfer/DurableFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tamo {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// The rename itself is durable only once its folder reaches the disk.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString writeFileDurably(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    const QString temporary = target.absolutePath() + QStringLiteral("/.") + target.fileName()
                              + QStringLiteral(".partial-") + QString::number(QRandomGenerator::global()->generate(), 16);
    const QByteArray temporaryName = QFile::encodeName(temporary);
    const int fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return systemError();
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const QString error = written ? QString() : systemError();
    if (::close(fd) != 0 || !written) {
        ::unlink(temporaryName.constData());
        return error.isEmpty() ? systemError() : error;
    }
    if (::rename(temporaryName.constData(), QFile::encodeName(path).constData()) != 0) {
        const QString renameError = systemError();
        ::unlink(temporaryName.constData());
        return renameError;
    }
    syncFolder(target.absolutePath());
    return {};
}

std::optional<QByteArray> readFileBounded(const QString &path, qsizetype limit, QString *error)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

} // namespace tamo
