#include "settings/BonusPage.h"

#include "app/AppModel.h"
#include "app/GlobalHotKeyRegistry.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/KeyNames.h"
#include "settings/DefaultsBindings.h"
#include "settings/SettingsEnvironment.h"
#include "settings/ShortcutRecorder.h"
#include "settings/SwitchToggle.h"

namespace tamo {

namespace {

struct ToolKeys
{
    int slot;
    QLatin1StringView enabled;
    QLatin1StringView code;
    QLatin1StringView modifiers;
    QLatin1StringView display;
};

// A tool's shortcut: stored whole, and held as a hot key only while the tool is on.
RecordedShortcut toolShortcut(const ToolKeys &tool, GlobalHotKeyRegistry &registry, Defaults &defaults)
{
    const auto registerIfOn = [tool, &registry, &defaults] {
        if (!defaults.boolValue(tool.enabled))
            return;
        if (tool.slot == WindowSwitcherSlot)
            registry.registerWindowSwitcherFromDefaults();
        else
            registry.registerWindowSizerFromDefaults();
    };
    return {tool.slot, tool.display,
            [tool, &defaults](int keyCode, int modifiers, const QString &display) {
                defaults.setValue(tool.code, keyCode);
                defaults.setValue(tool.modifiers, modifiers);
                defaults.setValue(tool.display, display);
                return true;
            },
            registerIfOn};
}

QString pressToDo(const Defaults &defaults, QLatin1StringView displayKey, const QString &what)
{
    return QStringLiteral("Press %1 %2").arg(keyNames(defaults.string(displayKey).value_or(QString())), what);
}

} // namespace

BonusPage::BonusPage(SettingsEnvironment &environment, QWidget *parent)
    : SettingsForm(parent)
    , m_env(environment)
{
    addWindowSwitcher();
    addWindowSize();
}

void BonusPage::addWindowSwitcher()
{
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    FormSection *section = addSection(QStringLiteral("Window Switcher"));
    FormRow *toggle = section->addRow(QStringLiteral("Window Switcher"), {},
                                      boundSwitch(defaults, keys::windowSwitcherEnabled,
                                                  [&model](bool on) { model.setWindowSwitcherEnabled(on); }));
    const ToolKeys tool{WindowSwitcherSlot, keys::windowSwitcherEnabled, keys::windowSwitcherHotKeyCode,
                        keys::windowSwitcherHotKeyModifiers, keys::windowSwitcherHotKeyDisplay};
    FormRow *shortcut = section->addRow(
        QStringLiteral("Shortcut"), {},
        new ShortcutRecorder(toolShortcut(tool, model.hotKeyRegistry(), defaults), model.hotKeyRegistry(), defaults));
    FormRow *tabs = section->addRow(QStringLiteral("Show Tabs"),
                                    QStringLiteral("Browser and file manager windows open into their tabs."),
                                    boundSwitch(defaults, keys::windowSwitcherBrowserTabs));
    followKeys(this, defaults, {keys::windowSwitcherEnabled, keys::windowSwitcherHotKeyDisplay},
               [=, &defaults] {
                   toggle->setDescription(pressToDo(defaults, keys::windowSwitcherHotKeyDisplay,
                                                    QStringLiteral("to see every open window, most recent first.")));
                   const bool on = defaults.boolValue(keys::windowSwitcherEnabled);
                   shortcut->setVisible(on);
                   tabs->setVisible(on);
               });
}

void BonusPage::addWindowSize()
{
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    FormSection *section = addSection(QStringLiteral("Window Size"));
    FormRow *toggle = section->addRow(QStringLiteral("Window Size"), {},
                                      boundSwitch(defaults, keys::windowSizeEnabled,
                                                  [&model](bool on) { model.setWindowSizeEnabled(on); }));
    const ToolKeys tool{WindowSizerSlot, keys::windowSizeEnabled, keys::windowSizeHotKeyCode,
                        keys::windowSizeHotKeyModifiers, keys::windowSizeHotKeyDisplay};
    FormRow *shortcut = section->addRow(
        QStringLiteral("Shortcut"), {},
        new ShortcutRecorder(toolShortcut(tool, model.hotKeyRegistry(), defaults), model.hotKeyRegistry(), defaults));
    followKeys(this, defaults, {keys::windowSizeEnabled, keys::windowSizeHotKeyDisplay}, [=, &defaults] {
        toggle->setDescription(pressToDo(defaults, keys::windowSizeHotKeyDisplay,
                                         QStringLiteral("to give the window you're using your favorite size for this "
                                                        "screen, centered.")));
        shortcut->setVisible(defaults.boolValue(keys::windowSizeEnabled));
    });
}

} // namespace tamo
