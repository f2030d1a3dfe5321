#include "SettingsFixture.h"

#include "app/GlobalHotKeyRegistry.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/KeyCodes.h"
#include "settings/Pickers.h"
#include "settings/ShortcutRecorder.h"
#include "settings/ShortcutsPage.h"

#include <QAccessible>
#include <QLineEdit>
#include <QShortcut>

using namespace tamo;
using namespace tamo::testing;

namespace {

class ShortcutsPageTest : public PageFixture<ShortcutsPage>
{
protected:
    ShortcutsPageTest()
    {
        startedModel();
        page().show();
    }

    ShortcutRecorder *recorder() { return control<ShortcutRecorder>(page(), QStringLiteral("Open TamoCove")); }

    std::pair<int, int> registeredMain() const { return hotKeys.registered(MainShortcutSlot); }
};

constexpr int keyK = 40;

} // namespace

TEST_F(ShortcutsPageTest, RecorderTakesOnlyFreeChordsWithCtrlAltOrSuper)
{
    hotKeys.markTaken(keyK, KeyCodes::OptionKey | KeyCodes::CommandKey); // another app grabbed Ctrl+Alt+K
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool recording; // still recording afterwards
    } presses[] = {
        {Qt::Key_A, Qt::ShiftModifier, true},                        // Shift alone is not enough
        {Qt::Key_1, Qt::MetaModifier, true},                         // Super+1 is the window switcher's
        {Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, true},    // held by another app
        {Qt::Key_Space, Qt::MetaModifier | Qt::AltModifier, false},  // free
    };
    QTest::mouseClick(recorder(), Qt::LeftButton);
    ASSERT_TRUE(recorder()->isRecording());
    EXPECT_EQ(recorder()->text(), QStringLiteral("Type shortcut…"));
    EXPECT_FALSE(hotKeys.isRegistered(MainShortcutSlot)) << "the current shortcut reaches the recorder";
    for (const auto &press : presses) {
        QTest::keyClick(recorder(), press.key, press.modifiers);
        EXPECT_EQ(recorder()->isRecording(), press.recording) << press.key;
        if (press.recording) {
            EXPECT_EQ(defaults.string(keys::hotKeyDisplay), QStringLiteral("⇧⌘V"));
        }
    }
    EXPECT_EQ(defaults.string(keys::hotKeyDisplay), QStringLiteral("⌃⌥Space"));
    EXPECT_EQ(defaults.integer(keys::hotKeyCode), KeyCodes::Space);
    EXPECT_EQ(defaults.integer(keys::hotKeyModifiers), KeyCodes::ControlKey | KeyCodes::OptionKey);
    EXPECT_EQ(recorder()->text(), QStringLiteral("Super+Alt+Space"));
    EXPECT_EQ(registeredMain(), std::make_pair(int(KeyCodes::Space), KeyCodes::ControlKey | KeyCodes::OptionKey));
}

TEST_F(ShortcutsPageTest, EscapeOrLeavingThePageKeepsAndRestoresTheOldShortcut)
{
    const auto before = registeredMain();
    QTest::mouseClick(recorder(), Qt::LeftButton);
    QTest::keyClick(recorder(), Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_FALSE(recorder()->isRecording());
    EXPECT_EQ(registeredMain(), before);
    EXPECT_EQ(recorder()->text(), QStringLiteral("Ctrl+Shift+V"));

    QTest::mouseClick(recorder(), Qt::LeftButton);
    closePage(); // another page was chosen
    EXPECT_EQ(registeredMain(), before);
    EXPECT_EQ(defaults.string(keys::hotKeyDisplay), QStringLiteral("⇧⌘V"));
}

TEST_F(ShortcutsPageTest, AScreenReaderHearsTheShortcutHeldAndWhenItRecords)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(recorder());
    ASSERT_TRUE(accessible);
    const auto heard = [accessible] {
        return accessible->text(QAccessible::Name) + u'|' + accessible->text(QAccessible::Description);
    };
    EXPECT_EQ(heard(), QStringLiteral("Open TamoCove|Ctrl+Shift+V"));
    QTest::mouseClick(recorder(), Qt::LeftButton);
    EXPECT_EQ(heard(), QStringLiteral("Open TamoCove|Type shortcut…"));
    QTest::keyClick(recorder(), Qt::Key_J, Qt::AltModifier);
    EXPECT_EQ(heard(), QStringLiteral("Open TamoCove|Alt+J"));
    defaults.setValue(keys::hotKeyDisplay, QStringLiteral("⌃⌥Space")); // set elsewhere
    EXPECT_EQ(heard(), QStringLiteral("Open TamoCove|Super+Alt+Space"));
}

TEST_F(ShortcutsPageTest, WhileRecordingNoKeyReachesAWindowNorItsShortcuts)
{
    QLineEdit field;
    int closes = 0;
    QObject::connect(new QShortcut(QKeySequence::Close, &field), &QShortcut::activated, [&closes] { ++closes; });
    field.show();
    field.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&field));
    QTest::mouseClick(recorder(), Qt::LeftButton);
    QTest::keyClicks(&field, QStringLiteral("ab"));
    QTest::keyClick(&field, Qt::Key_Tab);
    EXPECT_TRUE(field.text().isEmpty());
    EXPECT_TRUE(recorder()->isRecording());
    QTest::keyClick(&field, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(closes, 0) << "the window's Ctrl+W is the chord being recorded";
    EXPECT_EQ(defaults.string(keys::hotKeyDisplay), QStringLiteral("⌘W"));
}

TEST_F(ShortcutsPageTest, TargetNoteFollowsTheThreeSettings)
{
    FormRow *target = row(page(), QStringLiteral("The Shortcut Opens"));
    const struct {
        ShortcutTarget target;
        bool recentClips;
        bool icon;
        const char *note;
    } cases[] = {
        {ShortcutTarget::menuBar, true, false, "Turn on Recent Clips in the Tray in Clips settings; until then the shortcut opens the TamoCove panel."},
        {ShortcutTarget::menuBar, false, true, "Turn on Recent Clips in the Tray in Clips settings; until then the shortcut opens the TamoCove panel."},
        {ShortcutTarget::menuBar, true, true, "Your recent clips drop down from TamoCove's tray icon, ready to search."},
        {ShortcutTarget::drawer, false, false, "The TamoCove panel slides up from the bottom of the screen."},
    };
    for (const auto &step : cases) {
        defaults.setValue(keys::shortcutTarget, rawValue(step.target));
        defaults.setValue(keys::menuBarRecentClips, step.recentClips);
        defaults.setValue(keys::showMenuBarIcon, step.icon);
        EXPECT_EQ(target->description(), QString::fromUtf8(step.note));
    }
    qobject_cast<PopUpPicker *>(target->control())->activated(0);
    EXPECT_EQ(defaults.string(keys::shortcutTarget), QStringLiteral("drawer"));
}

TEST_F(ShortcutsPageTest, DrawerKeysAreListedInTheDesktopsNames)
{
    const QList<ShortcutsPage::PanelKeys> rows = ShortcutsPage::panelShortcuts();
    ASSERT_EQ(rows.size(), 15);
    EXPECT_EQ(rows[2].keys, QStringLiteral("Shift+Return"));
    EXPECT_EQ(rows[4].keys, QStringLiteral("Ctrl+R"));
    EXPECT_EQ(rows[5].keys, QStringLiteral("Ctrl-click"));
    EXPECT_EQ(rows[7].keys, QStringLiteral("Ctrl+1 – Ctrl+9"));
    EXPECT_EQ(rows[7].action, QStringLiteral("Quick-paste a clip (add Shift for plain text)"));
    EXPECT_EQ(rows[14].keys, QStringLiteral("Ctrl+,"));
    EXPECT_EQ(rows[14].action, QStringLiteral("Open Preferences"));
    EXPECT_TRUE(row(page(), QStringLiteral("Delete, or remove from a pinboard")));
}
