#include "app/GlobalHotKeyRegistry.h"
#include "app/HotKey.h"
#include "model/DefaultSettings.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/KeyCodes.h"

#include "support/FakeGlobalHotKeys.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tamo;
using namespace tamo::KeyCodes;
using tamo::testing::FakeGlobalHotKeys;
using tamo::testing::TempDir;

namespace {

// The stored defaults: ⇧⌘V main, ⌃1 switcher, ⌃⌘Z sizer.
constexpr FakeGlobalHotKeys::Combination shiftCommandV{KeyV, ShiftKey | CommandKey};
constexpr FakeGlobalHotKeys::Combination control1{Key1, ControlKey};
constexpr FakeGlobalHotKeys::Combination controlCommandZ{KeyZ, ControlKey | CommandKey};
constexpr FakeGlobalHotKeys::Combination controlOptionSpace{Space, ControlKey | OptionKey};

class HotKeysTest : public ::testing::Test
{
protected:
    HotKeysTest() { registerDefaultSettings(defaults); }

    bool conflicts(int slot, FakeGlobalHotKeys::Combination combination) const
    {
        return registry->conflicts(slot, combination.first, combination.second);
    }
    bool setShortcut(FakeGlobalHotKeys::Combination combination, const QString &display)
    {
        return hotKey.setShortcut(combination.first, combination.second, display);
    }

    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    FakeGlobalHotKeys hotKeys;
    std::unique_ptr<GlobalHotKeyRegistry> registry = std::make_unique<GlobalHotKeyRegistry>(hotKeys, defaults);
    HotKey hotKey{*registry, defaults};
};

} // namespace

TEST_F(HotKeysTest, ConflictsAreTheOtherSlotsStoredShortcuts)
{
    struct Row
    {
        const char *name;
        int slot;
        FakeGlobalHotKeys::Combination combination;
        bool conflicts;
    };
    const QList<Row> rows{
        {"main vs the switcher, which is off", MainShortcutSlot, control1, true},
        {"main vs the sizer, which is off", MainShortcutSlot, controlCommandZ, true},
        {"main vs its own", MainShortcutSlot, shiftCommandV, false},
        {"switcher vs main", WindowSwitcherSlot, shiftCommandV, true},
        {"switcher vs its own", WindowSwitcherSlot, control1, false},
        {"sizer vs the switcher", WindowSizerSlot, control1, true},
        {"same key, other modifiers", MainShortcutSlot, {Key1, ControlKey | ShiftKey}, false},
        {"same modifiers, other key", MainShortcutSlot, {KeyZ, ControlKey}, false},
        {"free", WindowSizerSlot, controlOptionSpace, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(conflicts(row.slot, row.combination), row.conflicts);
    }

    // Read at call time: a moved switcher shortcut frees its old one.
    defaults.setValue(keys::windowSwitcherHotKeyCode, Key1 + 1);
    EXPECT_FALSE(conflicts(MainShortcutSlot, control1));
    EXPECT_TRUE(conflicts(MainShortcutSlot, {Key1 + 1, ControlKey}));
}

TEST_F(HotKeysTest, ShortcutUsedByAnotherSlotIsRefusedAndNothingChanges)
{
    hotKey.registerFromDefaults();
    EXPECT_FALSE(setShortcut(control1, QStringLiteral("⌃1")));
    for (keys::Key key : {keys::hotKeyCode, keys::hotKeyModifiers, keys::hotKeyDisplay})
        EXPECT_FALSE(defaults.hasPersistentValue(key)) << key.data();
    EXPECT_EQ(hotKeys.registered(MainShortcutSlot), shiftCommandV);
}

TEST_F(HotKeysTest, AcceptedShortcutIsStoredAndRegistered)
{
    hotKey.registerFromDefaults();
    registry->unregister(MainShortcutSlot); // as while recording
    ASSERT_TRUE(setShortcut(controlOptionSpace, QStringLiteral("⌃⌥Space")));
    EXPECT_EQ(defaults.value(keys::hotKeyCode), QVariant(qlonglong(Space)));
    EXPECT_EQ(defaults.value(keys::hotKeyModifiers), QVariant(qlonglong(ControlKey | OptionKey)));
    EXPECT_EQ(defaults.string(keys::hotKeyDisplay), QStringLiteral("⌃⌥Space"));
    EXPECT_TRUE(registry->isRegistered(MainShortcutSlot));
    EXPECT_EQ(hotKeys.registered(MainShortcutSlot), controlOptionSpace);

    // Recording the current shortcut again is allowed and changes nothing.
    registry->unregister(MainShortcutSlot);
    EXPECT_TRUE(setShortcut(controlOptionSpace, QStringLiteral("⌃⌥Space")));
    EXPECT_EQ(hotKeys.registered(MainShortcutSlot), controlOptionSpace);
}

TEST_F(HotKeysTest, ShortcutTheSystemRefusesIsStillKept)
{
    hotKey.registerFromDefaults();
    hotKeys.markTaken(controlOptionSpace.first, controlOptionSpace.second);
    EXPECT_TRUE(setShortcut(controlOptionSpace, QStringLiteral("⌃⌥Space")));
    EXPECT_EQ(defaults.string(keys::hotKeyDisplay), QStringLiteral("⌃⌥Space"));
    EXPECT_FALSE(registry->isRegistered(MainShortcutSlot));
    EXPECT_FALSE(hotKeys.isRegistered(MainShortcutSlot)) << "the old hot key is gone too";
}

TEST_F(HotKeysTest, EachSlotRegistersItsStoredShortcut)
{
    defaults.setValue(keys::windowSizeHotKeyCode, KeyV);
    hotKey.registerFromDefaults();
    registry->registerWindowSwitcherFromDefaults();
    registry->registerWindowSizerFromDefaults();
    EXPECT_EQ(hotKeys.registered(MainShortcutSlot), shiftCommandV);
    EXPECT_EQ(hotKeys.registered(WindowSwitcherSlot), control1);
    EXPECT_EQ(hotKeys.registered(WindowSizerSlot), (FakeGlobalHotKeys::Combination{KeyV, ControlKey | CommandKey}));

    registry.reset();
    for (int slot : {MainShortcutSlot, WindowSwitcherSlot, WindowSizerSlot})
        EXPECT_FALSE(hotKeys.isRegistered(slot)) << "released with the registry, slot " << slot;
}

TEST_F(HotKeysTest, PressesRunTheSlotsCurrentHandler)
{
    QStringList ran;
    registry->setHandler(MainShortcutSlot, [&] { ran << QStringLiteral("main"); });
    registry->setHandler(WindowSwitcherSlot, [&] { ran << QStringLiteral("switcher"); });
    hotKey.registerFromDefaults();
    registry->registerWindowSwitcherFromDefaults();
    hotKeys.press(WindowSwitcherSlot);
    hotKeys.press(MainShortcutSlot);
    EXPECT_EQ(ran, (QStringList{"switcher", "main"}));

    ran.clear();
    registry->setHandler(MainShortcutSlot, [&] { ran << QStringLiteral("new main"); });
    EXPECT_TRUE(registry->isRegistered(MainShortcutSlot)) << "a new handler keeps the hot key";
    hotKeys.press(MainShortcutSlot);
    registry->setHandler(WindowSwitcherSlot, {});
    hotKeys.press(WindowSwitcherSlot);
    EXPECT_EQ(ran, QStringList{"new main"});

    // The handler outlives the hot key; a press still queued when it was
    // released does nothing.
    ran.clear();
    registry->unregister(MainShortcutSlot);
    emit hotKeys.pressed(MainShortcutSlot);
    hotKey.registerFromDefaults();
    hotKeys.press(MainShortcutSlot);
    EXPECT_EQ(ran, QStringList{"new main"});
}

TEST(HotKey, DisplayStringNamesModifiersInOrderThenTheKey)
{
    struct Row
    {
        int keyCode;
        int modifiers;
        QString characters;
        QString display;
    };
    const QList<Row> rows{
        {KeyV, ShiftKey | CommandKey, "v", "⇧⌘V"},
        {Key1, CommandKey | ShiftKey | OptionKey | ControlKey, "1", "⌃⌥⇧⌘1"},
        {Space, ControlKey | OptionKey, " ", "⌃⌥Space"},
        {LeftArrow, CommandKey, "", "⌘←"},
        {RightArrow, CommandKey, "", "⌘→"},
        {DownArrow, CommandKey, "", "⌘↓"},
        {UpArrow, CommandKey, "", "⌘↑"},
        {Return, ControlKey, "\r", "⌃↩"},
        {Tab, OptionKey, "\t", "⌥⇥"},
        {Delete, CommandKey, "\b", "⌘⌫"},
        {KeyZ, 0, "z", "Z"},
        {50, OptionKey, "é", "⌥É"},
        {122, CommandKey, "", "⌘?"}, // F1 types nothing
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.display.toStdString());
        EXPECT_EQ(HotKey::displayString(row.keyCode, row.modifiers, row.characters), row.display);
    }
}
