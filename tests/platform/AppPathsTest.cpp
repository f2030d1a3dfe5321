#include "platform/AppPaths.h"

#include <gtest/gtest.h>

TEST(AppPaths, InjectedRootKeepsEveryFolderInsideIt)
{
    const tamo::AppPaths paths(QStringLiteral("/tmp/root"));
    EXPECT_EQ(paths.storeDirectory(), QStringLiteral("/tmp/root/data/Tamo"));
    EXPECT_TRUE(paths.cacheDirectory().startsWith(QStringLiteral("/tmp/root/")));
    EXPECT_TRUE(paths.configDirectory().startsWith(QStringLiteral("/tmp/root/")));
}

TEST(AppPaths, DefaultFoldersFollowXdg)
{
    qputenv("XDG_DATA_HOME", "/tmp/xdg-data");
    const tamo::AppPaths paths;
    EXPECT_EQ(paths.storeDirectory(), QStringLiteral("/tmp/xdg-data/Tamo"));
    qunsetenv("XDG_DATA_HOME");
}
