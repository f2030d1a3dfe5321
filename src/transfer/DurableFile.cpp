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

DurableFile::DurableFile(QString path)
    : m_path(std::move(path))
{
    const QFileInfo target(m_path);
    m_temporaryName = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                        + QStringLiteral(".partial-")
                                        + QString::number(QRandomGenerator::global()->generate(), 16));
    m_fd = ::open(m_temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_fd < 0)
        m_error = errno;
}

DurableFile::~DurableFile()
{
    drop();
}

void DurableFile::drop()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    ::unlink(m_temporaryName.constData());
}

bool DurableFile::append(QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0 && m_error == 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_error = written == 0 ? EIO : errno; // EIO: a device that takes nothing and says nothing
            break;
        }
        data += written;
        left -= written;
    }
    return m_error == 0;
}

bool DurableFile::commit()
{
    if (m_error == 0 && ::fsync(m_fd) != 0)
        m_error = errno;
    if (m_error == 0 && ::close(std::exchange(m_fd, -1)) != 0)
        m_error = errno;
    if (m_error == 0 && ::rename(m_temporaryName.constData(), QFile::encodeName(m_path).constData()) != 0)
        m_error = errno;
    if (m_error != 0) {
        if (m_fd < 0)
            ::unlink(m_temporaryName.constData());
        drop();
        return false;
    }
    syncFolder(QFileInfo(m_path).absolutePath());
    return true;
}

QString writeFileDurably(const QString &path, const QByteArray &bytes, int *errorNumber)
{
    DurableFile file(path);
    const int error = file.append(bytes) && file.commit() ? 0 : file.error();
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
