#include "../../platform/x11/RunCommand.h"
#include "app/GlobalHotKeyRegistry.h"
#include "app/HotKey.h"
#include "model/DefaultSettings.h"
#include "platform/Defaults.h"
#include "platform/KeyCodes.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11GlobalHotKeys.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace tamo;
using tamo::testing::runCommand;
using tamo::testing::TempDir;

namespace {

constexpr int keyX = 7;

class X11HotKeyTest : public ::testing::Test
{
protected:
    X11HotKeyTest() { registerDefaultSettings(defaults); }
    void SetUp() override { ASSERT_TRUE(x11.isValid()) << "this suite needs an X server"; }

    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11GlobalHotKeys hotKeys{x11};
    GlobalHotKeyRegistry registry{hotKeys, defaults};
    HotKey hotKey{registry, defaults};
};

} // namespace

TEST_F(X11HotKeyTest, MainShortcutRunsItsHandlerAndMovesWhenChanged)
{
    QStringList ran;
    registry.setHandler(MainShortcutSlot, [&] { ran << QStringLiteral("main"); });
    registry.setHandler(WindowSwitcherSlot, [&] { ran << QStringLiteral("switcher"); });
    hotKey.registerFromDefaults(); // ⇧⌘V
    registry.registerWindowSwitcherFromDefaults(); // ⌃1
    ASSERT_TRUE(registry.isRegistered(MainShortcutSlot));

    runCommand(QStringLiteral("xdotool key shift+ctrl+v"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran == QStringList{"main"}; }, 5000)) << ran.join(' ').toStdString();

    // Now ⇧⌘X; the switcher's ⌃1 comes last, so once it arrives every
    // earlier press has too.
    ran.clear();
    ASSERT_TRUE(hotKey.setShortcut(keyX, KeyCodes::ShiftKey | KeyCodes::CommandKey, QStringLiteral("⇧⌘X")));
    runCommand(QStringLiteral("xdotool key shift+ctrl+v shift+ctrl+x super+1"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran.contains(QStringLiteral("switcher")); }, 5000));
    EXPECT_EQ(ran, (QStringList{"main", "switcher"}));
}
