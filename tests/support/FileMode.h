#pragma once

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tamo::testing {

// The permission bits of a file or folder (of a link itself, not its target).
inline unsigned modeOf(const QString &path)
{
    struct stat info {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info.st_mode & 07777;
}

} // namespace tamo::testing
