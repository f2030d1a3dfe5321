#include "platform/KeyCodes.h"

#include <gtest/gtest.h>

#include <QSet>

namespace KeyCodes = tamo::KeyCodes;

namespace {

Qt::KeyboardModifiers qtFlags(const KeyCodes::Key &key)
{
    return key.keypad ? Qt::KeypadModifier : Qt::NoModifier;
}

} // namespace

TEST(KeyCodes, EveryKeyRoundTripsThroughQtAndX)
{
    QSet<int> codes;
    for (const KeyCodes::Key &key : KeyCodes::keys()) {
        SCOPED_TRACE(key.keyCode);
        EXPECT_FALSE(codes.contains(key.keyCode)) << "listed twice";
        codes.insert(key.keyCode);
        EXPECT_EQ(KeyCodes::fromQtKey(KeyCodes::toQtKey(key.keyCode), qtFlags(key)), key.keyCode);
        EXPECT_EQ(KeyCodes::fromKeysym(KeyCodes::toKeysym(key.keyCode)), key.keyCode);
    }
}

TEST(KeyCodes, StoredDefaultShortcutKeysMapToTheirKeys)
{
    struct Row
    {
        int keyCode;
        Qt::Key qtKey;
        quint32 keysym;
    };
    const Row rows[] = {{9, Qt::Key_V, 'v'}, {6, Qt::Key_Z, 'z'}, {18, Qt::Key_1, '1'}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.keyCode);
        EXPECT_EQ(KeyCodes::toQtKey(row.keyCode), row.qtKey);
        EXPECT_EQ(KeyCodes::toKeysym(row.keyCode), row.keysym);
    }
}

TEST(KeyCodes, OtherFormsResolveToThePhysicalKeyAndUnknownKeysToNothing)
{
    const struct {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        std::optional<int> keyCode;
    } qtRows[] = {
        {Qt::Key_Exclam, {}, 18},          {Qt::Key_ParenRight, {}, 29}, {Qt::Key_Underscore, {}, 27},
        {Qt::Key_Backtab, {}, KeyCodes::Tab}, {Qt::Key_1, {}, 18},      {Qt::Key_1, Qt::KeypadModifier, 83},
        {Qt::Key_Minus, Qt::KeypadModifier | Qt::ShiftModifier, 78},    {Qt::Key_Asterisk, {}, 28},
        {Qt::Key_VolumeUp, {}, std::nullopt}, {Qt::Key_Exclam, Qt::KeypadModifier, std::nullopt},
    };
    for (const auto &row : qtRows)
        EXPECT_EQ(KeyCodes::fromQtKey(row.qtKey, row.modifiers), row.keyCode) << row.qtKey;

    EXPECT_EQ(KeyCodes::fromKeysym('V'), KeyCodes::KeyV);
    EXPECT_EQ(KeyCodes::fromKeysym('@'), 19);
    EXPECT_EQ(KeyCodes::fromKeysym(0xfe20), KeyCodes::Tab); // ISO_Left_Tab
    EXPECT_EQ(KeyCodes::fromKeysym(0x1008ff13), std::nullopt); // XF86AudioRaiseVolume
    EXPECT_EQ(KeyCodes::toQtKey(52), Qt::Key_unknown);
    EXPECT_EQ(KeyCodes::toKeysym(52), 0u);
    EXPECT_EQ(KeyCodes::toKeysym(-1), 0u);
}

TEST(KeyCodes, CarbonModifiersFollowQtsCrossPlatformRule)
{
    struct Row
    {
        int carbon;
        Qt::KeyboardModifiers qt;
        quint16 x;
    };
    const Row rows[] = {
        {KeyCodes::CommandKey, Qt::ControlModifier, 0x04},
        {KeyCodes::ShiftKey, Qt::ShiftModifier, 0x01},
        {KeyCodes::OptionKey, Qt::AltModifier, 0x08},
        {KeyCodes::ControlKey, Qt::MetaModifier, 0x40},
        {768, Qt::ShiftModifier | Qt::ControlModifier, 0x05},   // ⇧⌘, the main shortcut
        {4352, Qt::ControlModifier | Qt::MetaModifier, 0x44},   // ⌃⌘, the window sizer
        {0, Qt::NoModifier, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.carbon);
        EXPECT_EQ(KeyCodes::toQtModifiers(row.carbon), row.qt);
        EXPECT_EQ(KeyCodes::fromQtModifiers(row.qt), row.carbon);
        EXPECT_EQ(KeyCodes::toXModifiers(row.carbon), row.x);
        EXPECT_EQ(KeyCodes::fromXModifiers(row.x), row.carbon);
    }
}

TEST(KeyCodes, ModifierConversionsIgnoreOtherBitsAndUseTheServersAltAndSuper)
{
    constexpr int alphaLock = 1024;
    EXPECT_EQ(KeyCodes::toQtModifiers(KeyCodes::CommandKey | alphaLock), Qt::ControlModifier);
    EXPECT_EQ(KeyCodes::fromQtModifiers(Qt::ShiftModifier | Qt::KeypadModifier), int(KeyCodes::ShiftKey));
    constexpr quint16 capsAndNumLock = 0x02 | 0x10;
    EXPECT_EQ(KeyCodes::fromXModifiers(0x04 | capsAndNumLock), int(KeyCodes::CommandKey));

    const KeyCodes::XModifierMasks masks{0x20, 0x80}; // Alt on Mod3, Super on Mod5
    EXPECT_EQ(KeyCodes::toXModifiers(KeyCodes::AllCarbonModifiers, masks), 0x01 | 0x04 | 0x20 | 0x80);
    EXPECT_EQ(KeyCodes::fromXModifiers(0x01 | 0x04 | 0x20 | 0x80, masks), KeyCodes::AllCarbonModifiers);
    EXPECT_EQ(KeyCodes::fromXModifiers(0x08 | 0x40, masks), 0);
}
