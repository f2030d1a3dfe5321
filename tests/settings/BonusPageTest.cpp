#include "SettingsFixture.h"

#include "app/GlobalHotKeyRegistry.h"
#include "model/SettingsKeys.h"
#include "platform/KeyCodes.h"
#include "settings/BonusPage.h"
#include "settings/InputSourceRulesList.h"
#include "settings/StatusBadge.h"
#include "settings/ShortcutRecorder.h"

#include <QComboBox>
#include <QToolButton>

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

TEST_F(SettingsFixture, InputSourceRulesAreAddedWithTheCurrentLayoutAndKeepWhatTheyCannotRead)
{
    ext.layouts = {{QStringLiteral("us"), QStringLiteral("English (US)")}, {QStringLiteral("de"), QStringLiteral("German")}};
    ext.currentLayout = QStringLiteral("de");
    defaults.setValue(keys::inputSourceByApp, true);
    defaults.setValue(keys::inputSourceRules, QVariantMap{{QStringLiteral("org.example.Old"), QStringLiteral("fr")},
                                                          {QStringLiteral("org.example.Bad"), 42}});
    startedModel();
    BonusPage page(environment());
    auto *rules = page.findChild<InputSourceRulesList *>();
    ASSERT_TRUE(rules);

    appChooser.answer(QStringList{QStringLiteral("org.example.New"), QStringLiteral("org.example.Old"),
                                  QStringLiteral("tamocove")});
    rules->addApps();
    const QVariantMap stored = defaults.dictionary(keys::inputSourceRules);
    EXPECT_EQ(stored.value(QStringLiteral("org.example.New")), QStringLiteral("de")) << "the layout in use";
    EXPECT_EQ(stored.value(QStringLiteral("org.example.Old")), QStringLiteral("fr")) << "a rule keeps its layout";
    EXPECT_EQ(stored.value(QStringLiteral("org.example.Bad")), 42) << "an unreadable rule is kept as it was";
    EXPECT_FALSE(stored.contains(QStringLiteral("tamocove")));

    QStringList menus;
    for (QComboBox *menu : rules->findChildren<QComboBox *>())
        menus.append(menu->currentText());
    EXPECT_TRUE(menus.contains(QStringLiteral("Not available"))) << "fr is not configured";

    appChooser.answer(std::nullopt);
    rules->addApps();
    EXPECT_EQ(defaults.dictionary(keys::inputSourceRules), stored) << "a cancelled chooser writes nothing";

    EXPECT_FALSE(rules->removeButton()->isEnabled());
    rules->select(QStringLiteral("org.example.Old"));
    rules->removeSelectedRule();
    EXPECT_FALSE(defaults.dictionary(keys::inputSourceRules).contains(QStringLiteral("org.example.Old")));
    EXPECT_FALSE(rules->removeButton()->isEnabled());
}

TEST_F(SettingsFixture, TheMiddleClickStatusSaysWhatItWaitsFor)
{
    defaults.setValue(keys::threeFingerMiddleClick, true);
    startedModel();
    ext.unreadableTouch = 1;
    BonusPage page(environment());
    page.show();
    ASSERT_TRUE(isShown(page, QStringLiteral("Status")));
    EXPECT_EQ(control<StatusBadge>(page, QStringLiteral("Status"))->text(), QStringLiteral("Waiting for access to the touchpad"));
    EXPECT_TRUE(row(page, QStringLiteral("Status"))->description().contains(QStringLiteral("input group")));

    ext.unreadableTouch = 0;
    click(control<SwitchToggle>(page, QStringLiteral("Three-Finger Middle Click")));
    EXPECT_FALSE(isShown(page, QStringLiteral("Status")));
    click(control<SwitchToggle>(page, QStringLiteral("Three-Finger Middle Click")));
    EXPECT_EQ(control<StatusBadge>(page, QStringLiteral("Status"))->text(), QStringLiteral("Waiting for Accessibility access"));
}
