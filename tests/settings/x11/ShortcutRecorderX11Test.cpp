#include "../../app/x11/X11HotKeyFixture.h"
#include "../../platform/x11/OtherClient.h"
#include "../../platform/x11/RunCommand.h"
#include "model/SettingsKeys.h"
#include "platform/KeyCodes.h"
#include "platform/x11/X11Keymap.h"
#include "settings/ShortcutRecorder.h"

#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <QTest>

using namespace tamo;
using tamo::testing::OtherClient;
using tamo::testing::runCommand;

namespace {

constexpr int keyJ = 38;
constexpr quint16 numLockMask = XCB_MOD_MASK_2;

// The main shortcut's recorder in a window of its own, recording, with the
// keyboard, as a person who clicked it would find it.
class ShortcutRecorderX11Test : public tamo::testing::X11HotKeyFixture
{
protected:
    void SetUp() override
    {
        X11HotKeyFixture::SetUp();
        if (HasFatalFailure())
            return;
        hotKey.registerFromDefaults();
        recorder.show();
        recorder.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&recorder));
        recorder.startRecording();
    }

    ShortcutRecorder recorder{{MainShortcutSlot, keys::hotKeyDisplay,
                               [this](int code, int modifiers, const QString &display) {
                                   return hotKey.setShortcut(code, modifiers, display);
                               },
                               [this] { hotKey.registerFromDefaults(); }},
                              registry, defaults};
};

} // namespace

TEST_F(ShortcutRecorderX11Test, RecordsTheKeysPressedAndTheyBecomeTheShortcut)
{
    QStringList ran;
    registry.setHandler(MainShortcutSlot, [&] { ran << QStringLiteral("main"); });
    runCommand(QStringLiteral("xdotool key --delay 150 ctrl+alt+j"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.isRecording(); }, 5000));
    EXPECT_EQ(defaults.string(keys::hotKeyDisplay), QStringLiteral("⌥⌘J"));
    EXPECT_EQ(defaults.integer(keys::hotKeyCode), keyJ);
    EXPECT_EQ(recorder.text(), QStringLiteral("Ctrl+Alt+J"));

    runCommand(QStringLiteral("xdotool key ctrl+alt+j"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ran.isEmpty(); }, 5000)) << "the new shortcut works at once";
}

TEST_F(ShortcutRecorderX11Test, ACombinationAnotherClientHoldsIsRefused)
{
    // Another client holds Ctrl+Alt+K with Num Lock on, so the press without
    // Num Lock still reaches the recorder, but TamoCove could never grab it whole.
    OtherClient other;
    ASSERT_TRUE(other.isConnected());
    const quint8 keycode = x11::X11Keymap(other.connection()).keycode(XK_k);
    ASSERT_TRUE(other.grabKey(keycode, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | numLockMask));

    runCommand(QStringLiteral("xdotool key --delay 150 ctrl+alt+k"));
    QTest::qWait(300);
    EXPECT_TRUE(recorder.isRecording());
    EXPECT_EQ(defaults.string(keys::hotKeyDisplay), QStringLiteral("⇧⌘V")) << "nothing stored";

    runCommand(QStringLiteral("xdotool key --delay 150 Escape"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.isRecording(); }, 5000));
    EXPECT_TRUE(registry.isRegistered(MainShortcutSlot)) << "the old shortcut is back";
}
