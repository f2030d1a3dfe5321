#include "settings/BonusPage.h"

#include "app/AppModel.h"
#include "app/GlobalHotKeyRegistry.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/KeyNames.h"
#include "settings/DefaultsBindings.h"
#include "settings/SettingsEnvironment.h"
#include "settings/InputSourceRulesList.h"
#include "settings/ShortcutRecorder.h"
#include "settings/StatusBadge.h"
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
    addMiddleClick();
    addInputSources();
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

void BonusPage::addMiddleClick()
{
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    FormSection *section = addSection(QStringLiteral("Middle Click"));
    section->addRow(QStringLiteral("Three-Finger Middle Click"),
                    QStringLiteral("A three-finger click works like a mouse's middle button."),
                    boundSwitch(defaults, keys::threeFingerMiddleClick,
                                [&model](bool on) { model.setThreeFingerMiddleClick(on); }));
    auto *badge = new StatusBadge;
    FormRow *status = section->addRow(QStringLiteral("Status"), {}, badge);
    const auto showStatus = [=, &model, &defaults] {
        status->setVisible(defaults.boolValue(keys::threeFingerMiddleClick));
        // The touch devices are the kernel's; only the "input" group may read them.
        if (model.bonusTools().unreadableTouchDevices() > 0) {
            badge->showStatus(QStringLiteral("exclamationmark.triangle.fill"),
                              QStringLiteral("Waiting for access to the touchpad"), StatusBadge::orange());
            status->setDescription(QStringLiteral("Add yourself to the input group (sudo usermod -aG input $USER), "
                                                  "then log out and in again."));
            return;
        }
        status->setDescription({});
        badge->showActive(model.middleClickActive(), QStringLiteral("Waiting for Accessibility access"));
    };
    followKeys(this, defaults, {keys::threeFingerMiddleClick}, showStatus);
    connect(&model, &AppModel::middleClickActiveChanged, this, showStatus);
}

void BonusPage::addInputSources()
{
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    FormSection *section = addSection(QStringLiteral("Input Source by App"));
    section->addRow(QStringLiteral("Switch Input Source by App"),
                    QStringLiteral("Each app below opens in its own language. Other apps are left alone."),
                    boundSwitch(defaults, keys::inputSourceByApp,
                                [&model](bool on) { model.bonusTools().setInputSourceSwitching(on); }));
    auto *rules = new InputSourceRulesList(defaults, model.workspace(), model.bonusTools(), m_env.appChooser);
    section->addWidget(rules);
    followKeys(this, defaults, {keys::inputSourceByApp},
               [rules, &defaults] { rules->setVisible(defaults.boolValue(keys::inputSourceByApp)); });
}

} // namespace tamo
