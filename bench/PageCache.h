#pragma once

#include <QDir>
#include <QString>

#include <fcntl.h>
#include <unistd.h>

namespace tamo::bench {

// Asks the kernel to forget the cached pages of the files in `folder`, as a
// fresh login, or a long idle under memory pressure, finds them.
inline void dropFromPageCache(const QString &folder)
{
    for (const QString &name : QDir(folder).entryList(QDir::Files)) {
        const int fd = ::open(QDir(folder).filePath(name).toLocal8Bit().constData(), O_RDONLY);
        if (fd < 0)
            continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

} // namespace tamo::bench
