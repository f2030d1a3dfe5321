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
