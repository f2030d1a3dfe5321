#include "platform/LoginItem.h"

#include "support/TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tamo;
using tamo::testing::TempDir;

TEST(LoginItemTest, WritesAndRemovesTheAutostartEntry)
{
    TempDir dir;
    const QString entry = dir.file(QStringLiteral("autostart/tamocove.desktop"));
    XdgAutostartItem item(entry, QStringLiteral("/opt/Tamo Cove/bin/tamocove"));
    EXPECT_FALSE(item.isEnabled());
    EXPECT_TRUE(item.setEnabled(false)) << "turning off what is off succeeds";

    ASSERT_TRUE(item.setEnabled(true));
    EXPECT_TRUE(item.isEnabled());
    const QByteArray text = tamo::testing::readFile(entry);
    EXPECT_TRUE(text.contains("Exec=\"/opt/Tamo Cove/bin/tamocove\"\n")) << text.constData();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\n"));

    ASSERT_TRUE(item.setEnabled(false));
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_FALSE(item.isEnabled());
}

TEST(LoginItemTest, AHiddenEntryIsOffAndTurningOnReplacesIt)
{
    TempDir dir;
    const QString entry = dir.file(QStringLiteral("tamocove.desktop"));
    tamo::testing::writeFile(entry, "[Desktop Entry]\nType=Application\nName=TamoCove\nExec=tamocove\nHidden=true\n");
    XdgAutostartItem item(entry, QStringLiteral("/usr/bin/tamocove"));
    EXPECT_FALSE(item.isEnabled());
    ASSERT_TRUE(item.setEnabled(true));
    EXPECT_TRUE(item.isEnabled());
}

TEST(LoginItemTest, AFolderThatCannotHoldTheEntryIsReported)
{
    TempDir dir;
    // A file where the autostart folder should be.
    tamo::testing::writeFile(dir.file(QStringLiteral("autostart")), "not a folder");
    XdgAutostartItem item(dir.file(QStringLiteral("autostart/tamocove.desktop")), QStringLiteral("/usr/bin/tamocove"));
    EXPECT_FALSE(item.setEnabled(true));
    EXPECT_FALSE(item.isEnabled());
}

// After another copy was quit, an entry that starts it is pointed at this one.
TEST(LoginItemTest, RefreshRewritesAnEntryThatIsOnAndLeavesOneThatIsOff)
{
    TempDir dir;
    const QString entry = dir.file(QStringLiteral("tamocove.desktop"));
    XdgAutostartItem item(entry, QStringLiteral("/home/me/Applications/tamocove"));
    EXPECT_TRUE(item.refresh());
    EXPECT_FALSE(QFileInfo::exists(entry)) << "off stays off";

    tamo::testing::writeFile(entry, "[Desktop Entry]\nType=Application\nName=TamoCove\nExec=/opt/old/tamocove\n");
    EXPECT_TRUE(item.refresh());
    const QByteArray text = tamo::testing::readFile(entry);
    EXPECT_TRUE(text.contains("Exec=/home/me/Applications/tamocove\n")) << text.constData();
    EXPECT_FALSE(text.contains("/opt/old"));

    tamo::testing::writeFile(entry, "[Desktop Entry]\nType=Application\nName=TamoCove\nExec=/opt/old/tamocove\nHidden=true\n");
    EXPECT_TRUE(item.refresh());
    EXPECT_TRUE(tamo::testing::readFile(entry).contains("Hidden=true")) << "the user's choice to hide it stays";
}
