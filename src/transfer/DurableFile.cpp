#include "transfer/DurableFile.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tamo {

namespace {

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO; // a device that takes nothing and says nothing
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

// The system's error code, 0 on success.
int writeWhole(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    const QString temporary = target.absolutePath() + QStringLiteral("/.") + target.fileName()
                              + QStringLiteral(".partial-") + QString::number(QRandomGenerator::global()->generate(), 16);
    const QByteArray temporaryName = QFile::encodeName(temporary);
    const int fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, bytes) && ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporaryName.constData(), QFile::encodeName(path).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporaryName.constData());
        return error;
    }
    syncFolder(target.absolutePath());
    return 0;
}

} // namespace

QString writeFileDurably(const QString &path, const QByteArray &bytes, int *errorNumber)
{
    const int error = writeWhole(path, bytes);
    if (errorNumber)
        *errorNumber = error;
    return error == 0 ? QString() : QString::fromLocal8Bit(std::strerror(error));
}

std::optional<QByteArray> readFileBounded(const QString &path, qsizetype limit, QString *error)
{
    FileContents contents = readRegularFile(path, limit, FileLinks::follow);
    if (!contents.ok()) {
        if (error)
            *error = contents.error;
        return std::nullopt;
    }
    return std::move(contents.bytes);
}

} // namespace tamo
