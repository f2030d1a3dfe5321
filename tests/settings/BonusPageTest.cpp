#include "SettingsFixture.h"

#include "app/GlobalHotKeyRegistry.h"
#include "model/SettingsKeys.h"
#include "platform/KeyCodes.h"
#include "settings/BonusPage.h"
#include "settings/ShortcutRecorder.h"

using namespace tamo;
using namespace tamo::testing;

TEST_F(SettingsFixture, BonusToolShortcutsAreHeldOnlyWhileTheToolIsOn)
{
    startedModel();
    BonusPage page(environment());
    page.show();
    EXPECT_FALSE(isShown(page, QStringLiteral("Shortcut")));
    EXPECT_EQ(row(page, QStringLiteral("Window Size"))->description(),
              QStringLiteral("Press Super+Ctrl+Z to give the window you're using your favorite size for this screen, centered."));

    click(control<SwitchToggle>(page, QStringLiteral("Window Size")));
    EXPECT_TRUE(defaults.boolValue(keys::windowSizeEnabled));
    ShortcutRecorder *sizer = nullptr;
    for (ShortcutRecorder *recorder : page.findChildren<ShortcutRecorder *>()) {
        if (!recorder->isHidden() && recorder->isVisibleTo(&page))
            sizer = recorder;
    }
    ASSERT_TRUE(sizer);
    sizer->startRecording();
    QTest::keyClick(sizer, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier); // the main shortcut's
    EXPECT_TRUE(sizer->isRecording());
    QTest::keyClick(sizer, Qt::Key_J, Qt::AltModifier);
    EXPECT_FALSE(sizer->isRecording());
    EXPECT_EQ(defaults.string(keys::windowSizeHotKeyDisplay), QStringLiteral("⌥J"));
    EXPECT_EQ(row(page, QStringLiteral("Window Size"))->description(),
              QStringLiteral("Press Alt+J to give the window you're using your favorite size for this screen, centered."));
    EXPECT_EQ(hotKeys.registered(WindowSizerSlot), std::make_pair(38, int(KeyCodes::OptionKey)));

    click(control<SwitchToggle>(page, QStringLiteral("Window Size")));
    for (ShortcutRecorder *recorder : page.findChildren<ShortcutRecorder *>())
        EXPECT_FALSE(recorder->isVisibleTo(&page));
}
