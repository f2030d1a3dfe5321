#include "platform/AppPaths.h"

#include <gtest/gtest.h>

TEST(AppPaths, InjectedRootKeepsEveryFolderInsideIt)
{
    const tamo::AppPaths paths(QStringLiteral("/tmp/root"));
    EXPECT_EQ(paths.storeDirectory(), QStringLiteral("/tmp/root/data/Tamo"));
    EXPECT_EQ(paths.cacheDirectory(), QStringLiteral("/tmp/root/cache/Tamo"));
    EXPECT_EQ(paths.configDirectory(), QStringLiteral("/tmp/root/config/TamoCove"));
}

TEST(AppPaths, DefaultFoldersFollowXdg)
{
    qputenv("XDG_DATA_HOME", "/tmp/xdg-data");
    const tamo::AppPaths paths;
    EXPECT_EQ(paths.storeDirectory(), QStringLiteral("/tmp/xdg-data/Tamo"));
    qunsetenv("XDG_DATA_HOME");
}
