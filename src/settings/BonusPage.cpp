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

// A tool's shortcut: stored whole, and held as a hot key only while the tool is on.
RecordedShortcut toolShortcut(const BonusPage::ToolKeys &tool, GlobalHotKeyRegistry &registry, Defaults &defaults)
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
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    FormSection *switcher = addTool({QStringLiteral("Window Switcher"), QStringLiteral("to see every open window, most recent first."),
                                     {WindowSwitcherSlot, keys::windowSwitcherEnabled, keys::windowSwitcherHotKeyCode,
                                      keys::windowSwitcherHotKeyModifiers, keys::windowSwitcherHotKeyDisplay},
                                     [&model](bool on) { model.setWindowSwitcherEnabled(on); }});
    FormRow *tabs = switcher->addRow(QStringLiteral("Show Tabs"),
                                     QStringLiteral("Browser and file manager windows open into their tabs."),
                                     boundSwitch(defaults, keys::windowSwitcherBrowserTabs));
    followKeys(tabs, defaults, {keys::windowSwitcherEnabled},
               [tabs, &defaults] { tabs->setVisible(defaults.boolValue(keys::windowSwitcherEnabled)); });
    addTool({QStringLiteral("Window Size"),
             QStringLiteral("to give the window you're using your favorite size for this screen, centered."),
             {WindowSizerSlot, keys::windowSizeEnabled, keys::windowSizeHotKeyCode, keys::windowSizeHotKeyModifiers,
              keys::windowSizeHotKeyDisplay},
             [&model](bool on) { model.setWindowSizeEnabled(on); }});
}

FormSection *BonusPage::addTool(const Tool &tool)
{
    Defaults &defaults = m_env.defaults;
    GlobalHotKeyRegistry &registry = m_env.model.hotKeyRegistry();
    FormSection *section = addSection(tool.title);
    FormRow *toggle = section->addRow(tool.title, {}, boundSwitch(defaults, tool.keys.enabled, tool.switchOn));
    FormRow *shortcut = section->addRow(QStringLiteral("Shortcut"), {},
                                        new ShortcutRecorder(toolShortcut(tool.keys, registry, defaults), registry, defaults));
    followKeys(section, defaults, {tool.keys.enabled, tool.keys.display}, [tool, toggle, shortcut, &defaults] {
        toggle->setDescription(pressToDo(defaults, tool.keys.display, tool.action));
        shortcut->setVisible(defaults.boolValue(tool.keys.enabled));
    });
    return section;
}

} // namespace tamo
