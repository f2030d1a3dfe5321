#include "platform/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace tamo {

namespace {

FileRefusal refusalOfOpen(int errorNumber, FileLinks links)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return FileRefusal::missing;
    case ELOOP: // O_NOFOLLOW met a link
        return links == FileLinks::refuse ? FileRefusal::link : FileRefusal::unreadable;
    case ENXIO: // a socket, or a device with nothing behind it
    case ENODEV:
        return FileRefusal::notRegular;
    default:
        return FileRefusal::unreadable;
    }
}

} // namespace

RegularFile::RegularFile(RegularFile &&other) noexcept
{
    *this = std::move(other);
}

RegularFile &RegularFile::operator=(RegularFile &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
        m_cap = other.m_cap;
        m_read = other.m_read;
        m_refusal = other.m_refusal;
        m_errorNumber = other.m_errorNumber;
    }
    return *this;
}

RegularFile::~RegularFile()
{
    close();
}

RegularFile RegularFile::open(const QString &path, qint64 maxBytes, FileLinks links)
{
    RegularFile file;
    file.m_cap = maxBytes;
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == FileLinks::refuse ? O_NOFOLLOW : 0);
    int fd;
    do
        fd = ::open(QFile::encodeName(path).constData(), flags);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        file.refuse(refusalOfOpen(error, links), error);
        return file;
    }
    file.m_fd = fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        file.refuse(FileRefusal::unreadable, errno);
    else if (!S_ISREG(info.st_mode))
        file.refuse(FileRefusal::notRegular, 0);
    else if (info.st_size > maxBytes)
        file.refuse(FileRefusal::tooLarge, 0);
    else
        file.m_size = info.st_size;
    return file;
}

QString RegularFile::errorString() const
{
    switch (m_refusal) {
    case FileRefusal::none:
        return {};
    case FileRefusal::missing:
        return QStringLiteral("no such file");
    case FileRefusal::link:
        return QStringLiteral("a symbolic link, which is not followed here");
    case FileRefusal::notRegular:
        return QStringLiteral("not a regular file");
    case FileRefusal::tooLarge:
        return QStringLiteral("larger than %1 bytes").arg(m_cap);
    case FileRefusal::unreadable:
        break;
    }
    return m_errorNumber != 0 ? QString::fromLocal8Bit(std::strerror(m_errorNumber)) : QStringLiteral("cannot be read");
}

qint64 RegularFile::read(char *into, qint64 maxBytes)
{
    if (m_fd < 0)
        return -1;
    // One byte past the cap tells a file that grew since it was opened.
    const qint64 wanted = qMin(maxBytes, m_cap + 1 - m_read);
    ssize_t got;
    do
        got = ::read(m_fd, into, size_t(qMax<qint64>(wanted, 0)));
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        refuse(FileRefusal::unreadable, errno);
        return -1;
    }
    m_read += got;
    if (m_read > m_cap) {
        refuse(FileRefusal::tooLarge, 0);
        return -1;
    }
    return got;
}

QByteArray RegularFile::readAll()
{
    QByteArray bytes;
    if (m_fd < 0)
        return bytes;
    // The size when opened is only a hint: the file may shrink or grow.
    bytes.reserve(qsizetype(qMax<qint64>(m_size - m_read, 0)) + 1);
    constexpr qint64 chunk = 64 * 1024;
    for (;;) {
        const qsizetype at = bytes.size();
        bytes.resize(at + qsizetype(qMin(chunk, m_cap + 1 - m_read)));
        const qint64 got = read(bytes.data() + at, bytes.size() - at);
        if (got < 0)
            return {};
        bytes.resize(at + qsizetype(got));
        if (got == 0)
            return bytes;
    }
}

bool RegularFile::rewind()
{
    if (m_fd < 0)
        return false;
    if (::lseek(m_fd, 0, SEEK_SET) != 0) {
        refuse(FileRefusal::unreadable, errno);
        return false;
    }
    m_read = 0;
    return true;
}

void RegularFile::refuse(FileRefusal refusal, int errorNumber)
{
    m_refusal = refusal;
    m_errorNumber = errorNumber;
    close();
}

void RegularFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

FileContents readRegularFile(const QString &path, qint64 maxBytes, FileLinks links)
{
    RegularFile file = RegularFile::open(path, maxBytes, links);
    FileContents contents;
    contents.bytes = file.readAll();
    contents.refusal = file.refusal();
    contents.error = file.errorString();
    return contents;
}

} // namespace tamo
