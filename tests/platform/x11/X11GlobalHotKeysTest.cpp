#include "OtherClient.h"
#include "RunCommand.h"
#include "platform/KeyCodes.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11GlobalHotKeys.h"
#include "platform/x11/X11Keymap.h"

#include <QSignalSpy>
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <functional>
#include <memory>

using namespace tamo;
using tamo::KeyCodes::CommandKey;
using tamo::KeyCodes::ControlKey;
using tamo::KeyCodes::ShiftKey;
using tamo::testing::OtherClient;
using tamo::testing::runCommand;

namespace {

constexpr int ShiftCommand = ShiftKey | CommandKey; // ⇧⌘, the main shortcut's default

class X11GlobalHotKeysTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(x11.isValid()) << "this suite needs an X server"; }

    // Runs the key presses, then presses the sentinel ⇧⌘F12 registered on
    // slot 9: once the sentinel arrives, every earlier press has been
    // delivered.
    QList<int> slotsPressedBy(const std::function<void()> &keyPresses)
    {
        EXPECT_TRUE(hotKeys.registerHotKey(9, 111, ShiftCommand));
        QSignalSpy pressed(&hotKeys, &GlobalHotKeys::pressed);
        keyPresses();
        runCommand(QStringLiteral("xdotool key ctrl+shift+F12"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !pressed.isEmpty() && pressed.last()[0].toInt() == 9; }, 5000));
        QList<int> pressedSlots;
        for (const QList<QVariant> &signal : std::as_const(pressed))
            pressedSlots.append(signal[0].toInt());
        pressedSlots.removeLast();
        return pressedSlots;
    }
    QList<int> slotsPressedBy(const QString &commandLine)
    {
        return slotsPressedBy([&] { runCommand(commandLine); });
    }

    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11GlobalHotKeys hotKeys{x11};
};

} // namespace

TEST_F(X11GlobalHotKeysTest, RegisteredShortcutFiresWhateverAppIsInFront)
{
    ASSERT_TRUE(hotKeys.registerHotKey(0, KeyCodes::KeyV, ShiftCommand));
    ASSERT_TRUE(hotKeys.registerHotKey(1, KeyCodes::Key1, ControlKey)); // ⌃1 is Super+1
    EXPECT_EQ(slotsPressedBy(QStringLiteral("xdotool key ctrl+shift+v super+1 ctrl+v shift+v")), (QList<int>{0, 1}));
}

TEST_F(X11GlobalHotKeysTest, LockKeysDoNotGetInTheWay)
{
    ASSERT_TRUE(hotKeys.registerHotKey(0, KeyCodes::KeyV, ShiftCommand));
    // Num Lock on, then Caps Lock as well, then Num Lock off again.
    EXPECT_EQ(slotsPressedBy(QStringLiteral("xdotool key Num_Lock ctrl+shift+v Caps_Lock ctrl+shift+v "
                                            "Num_Lock ctrl+shift+v Caps_Lock")),
              (QList<int>{0, 0, 0}));
}

TEST_F(X11GlobalHotKeysTest, HoldingTheKeysFiresOnce)
{
    ASSERT_TRUE(hotKeys.registerHotKey(0, KeyCodes::KeyV, ShiftCommand));
    const QList<int> pressed = slotsPressedBy([] {
        // A short repeat delay lets the held keys repeat many times while the
        // test waits; the server's usual rate comes back afterwards.
        runCommand(QStringLiteral("xset r rate 100 50"));
        runCommand(QStringLiteral("xdotool keydown ctrl+shift+v"));
        QTest::qWait(500);
        runCommand(QStringLiteral("xdotool keyup v key v keyup ctrl+shift"));
        runCommand(QStringLiteral("xset r rate 660 25"));
    });
    EXPECT_EQ(pressed, (QList<int>{0, 0})) << "the hold, then a fresh press of V";
}

TEST_F(X11GlobalHotKeysTest, UnregisteredShortcutStaysQuiet)
{
    ASSERT_TRUE(hotKeys.registerHotKey(0, KeyCodes::KeyV, ShiftCommand));
    ASSERT_TRUE(hotKeys.registerHotKey(0, KeyCodes::KeyZ, ShiftCommand)); // replaces V
    hotKeys.unregisterHotKey(1);                                          // never registered: harmless
    EXPECT_EQ(slotsPressedBy(QStringLiteral("xdotool key ctrl+shift+v ctrl+shift+z")), (QList<int>{0}));
    hotKeys.unregisterHotKey(0);
    // Not EXPECT_EQ with an empty list: Qt 6.4 compares two empty lists with memcmp(nullptr, nullptr, 0).
    EXPECT_TRUE(slotsPressedBy(QStringLiteral("xdotool key ctrl+shift+z")).isEmpty());
}

TEST_F(X11GlobalHotKeysTest, CombinationHeldByAnotherAppIsRefused)
{
    // Another client grabs ⇧⌘V first.
    auto other = std::make_unique<OtherClient>();
    ASSERT_TRUE(other->isConnected());
    const quint8 keycode = x11::X11Keymap(other->connection()).keycode(XK_v);
    ASSERT_TRUE(other->grabKey(keycode, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));

    EXPECT_FALSE(hotKeys.registerHotKey(0, KeyCodes::KeyV, ShiftCommand));
    EXPECT_TRUE(hotKeys.registerHotKey(1, KeyCodes::KeyZ, ShiftCommand)); // other combinations still work

    other.reset(); // its grabs go with it, once the server notices
    EXPECT_TRUE(QTest::qWaitFor([&] { return hotKeys.registerHotKey(0, KeyCodes::KeyV, ShiftCommand); }, 5000));
}

TEST_F(X11GlobalHotKeysTest, RefusesWhatItCannotGrab)
{
    ASSERT_TRUE(hotKeys.registerHotKey(0, KeyCodes::KeyV, ShiftCommand));
    EXPECT_FALSE(hotKeys.registerHotKey(1, KeyCodes::KeyV, ShiftCommand)) << "one grab cannot serve two slots";
    EXPECT_FALSE(hotKeys.registerHotKey(2, 52, ShiftCommand)) << "no key has code 52";
}
