#include "../../platform/x11/RunCommand.h"
#include "X11HotKeyFixture.h"
#include "platform/KeyCodes.h"

using namespace tamo;
using tamo::testing::runCommand;

namespace {

constexpr int keyX = 7;

using X11HotKeyTest = tamo::testing::X11HotKeyFixture;

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
