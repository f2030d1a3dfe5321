#include "settings/BonusPage.h"

#include "app/AppModel.h"
#include "app/GlobalHotKeyRegistry.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/KeyNames.h"
#include "platform/Screens.h"
#include "settings/DefaultsBindings.h"
#include "settings/HelpButton.h"
#include "settings/InputSourceRulesList.h"
#include "settings/SettingsEnvironment.h"
#include "settings/ShortcutRecorder.h"
#include "settings/StatusBadge.h"
#include "settings/SwitchToggle.h"
#include "settings/WindowSizeRows.h"

#include <QTimer>

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

// The shortcut as this desktop names its keys.
QString shortcutNames(const Defaults &defaults, QLatin1StringView displayKey)
{
    return keyNames(defaults.string(displayKey).value_or(QString()));
}

QString pressToDo(const Defaults &defaults, QLatin1StringView displayKey, const QString &what)
{
    return QStringLiteral("Press %1 %2").arg(shortcutNames(defaults, displayKey), what);
}

const BonusPage::ToolKeys switcherKeys{WindowSwitcherSlot, keys::windowSwitcherEnabled, keys::windowSwitcherHotKeyCode,
                                       keys::windowSwitcherHotKeyModifiers, keys::windowSwitcherHotKeyDisplay};
const BonusPage::ToolKeys sizerKeys{WindowSizerSlot, keys::windowSizeEnabled, keys::windowSizeHotKeyCode,
                                    keys::windowSizeHotKeyModifiers, keys::windowSizeHotKeyDisplay};

} // namespace

BonusPage::BonusPage(SettingsEnvironment &environment, QWidget *parent)
    : SettingsForm(parent)
    , m_env(environment)
{
    addWindowSwitcher();
    addWindowSize();
    addMiddleClick();
    addInputSources();
    addAccessibility();
    // What synthetic input allows is read again each time the page is shown.
    QTimer::singleShot(0, this, [this] { m_env.model.refreshPermissions(); });
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

void BonusPage::addHelp(FormSection *section, const QString &topic, std::function<QStringList()> texts)
{
    section->setTrailingFooter(new HelpButton(topic, std::move(texts)));
}

void BonusPage::addWindowSwitcher()
{
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    FormSection *section = addTool({QStringLiteral("Window Switcher"),
                                    QStringLiteral("to see every open window, most recent first."), switcherKeys,
                                    [&model](bool on) { model.setWindowSwitcherEnabled(on); }});
    FormRow *tabs = section->addRow(QStringLiteral("Show Tabs"),
                                    QStringLiteral("Firefox, Chrome and file manager windows open into their tabs."),
                                    boundSwitch(defaults, keys::windowSwitcherBrowserTabs));
    followKeys(tabs, defaults, {keys::windowSwitcherEnabled},
               [tabs, &defaults] { tabs->setVisible(defaults.boolValue(keys::windowSwitcherEnabled)); });
    addHelp(section, QStringLiteral("Window Switcher"), [&defaults] {
        return QStringList{
            pressToDo(defaults, keys::windowSwitcherHotKeyDisplay,
                      QStringLiteral("to list every open window, the most recently used first, including windows on "
                                     "other desktops and in full screen.")),
            QStringLiteral("Pick with ↑ ↓ and press %1, or click a window. Esc, %2, the shortcut again, or a click "
                           "outside closes the list.")
                .arg(keyNames(QStringLiteral("↩")), keyNames(QStringLiteral("⌘W"))),
            QStringLiteral("With Show Tabs on, a window with several tabs gets an “N tabs ›” tag. Press → or click it "
                           "to see its tabs, ← to go back, and %1 to switch. The last row, New Tab, opens a new tab in "
                           "that window.")
                .arg(keyNames(QStringLiteral("↩"))),
        };
    });
}

void BonusPage::addWindowSize()
{
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    FormSection *section = addTool({QStringLiteral("Window Size"),
                                    QStringLiteral("to give the window you're using your favorite size for this "
                                                   "screen, centered."),
                                    sizerKeys, [&model](bool on) { model.setWindowSizeEnabled(on); }});
    m_windowSizes = new WindowSizeRows(*section, model, this);
    m_windowSizes->reload();
    followKeys(this, defaults, {keys::windowSizeEnabled},
               [this, &defaults] { m_windowSizes->setShown(defaults.boolValue(keys::windowSizeEnabled)); });
    connect(&m_env.screens, &Screens::screensChanged, m_windowSizes, &WindowSizeRows::reload);
    addHelp(section, QStringLiteral("Window Size"), [&defaults] {
        return QStringList{
            QStringLiteral("Size a window the way you like it on a screen, then click Use Current Window on that "
                           "screen's row. TamoCove saves the size of the window you used last on that screen, for "
                           "that screen and resolution."),
            pressToDo(defaults, keys::windowSizeHotKeyDisplay,
                      QStringLiteral("and the window you're using takes that size, centered: the same gap left and "
                                     "right, between the panels at the top and bottom. Already there? A note says so "
                                     "and nothing moves.")),
            QStringLiteral("A screen without a saved size gets a fitted one: the full height, with room on both "
                           "sides."),
        };
    });
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
        // Without a touch device there is nothing to convert; with one, the
        // display has refused to remap the buttons and it is tried again each second.
        const bool noDevice = model.bonusTools().readTouchDevices() == 0;
        status->setDescription(model.middleClickActive() || !noDevice
                                   ? QString()
                                   : QStringLiteral("Connect a touchpad or a multitouch mouse."));
        badge->showActive(model.middleClickActive(), noDevice ? QStringLiteral("Waiting for a touchpad")
                                                               : QStringLiteral("Waiting for the display"));
    };
    followKeys(this, defaults, {keys::threeFingerMiddleClick}, showStatus);
    connect(&model, &AppModel::middleClickActiveChanged, this, showStatus);
    addHelp(section, QStringLiteral("Middle Click"), [] {
        return QStringList{
            QStringLiteral("On a touchpad or multitouch mouse, a three-finger click opens links in a new tab, closes tabs, "
                           "and more, like a middle button."),
            QStringLiteral("On a touchpad, three-finger taps count too when Tap to Click is on."),
        };
    });
}

void BonusPage::addInputSources()
{
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    FormSection *section = addSection(QStringLiteral("Keyboard Layout by App"));
    section->addRow(QStringLiteral("Switch Keyboard Layout by App"),
                    QStringLiteral("Each app below opens in its own language. Other apps are left alone."),
                    boundSwitch(defaults, keys::inputSourceByApp, [&model](bool on) { model.setInputSourceByApp(on); }));
    auto *rules = new InputSourceRulesList(defaults, model.workspace(), model.bonusTools(), m_env.appChooser);
    section->addWidget(rules);
    followKeys(this, defaults, {keys::inputSourceByApp},
               [rules, &defaults] { rules->setVisible(defaults.boolValue(keys::inputSourceByApp)); });
    addHelp(section, QStringLiteral("Keyboard Layout by App"), [] {
        return QStringList{
            QStringLiteral("Give an app its own keyboard language, and TamoCove switches to it whenever that app "
                           "comes to the front, with Alt+Tab, the window switcher, the taskbar or a click."),
            QStringLiteral("For example, Messages always in Spanish, and Teams and Outlook always in English."),
            QStringLiteral("Apps that aren't listed are left alone: the language stays as it was. The list offers the "
                           "keyboard layouts set up in your desktop's keyboard settings."),
        };
    });
}

void BonusPage::addAccessibility()
{
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    FormSection *section = addSection();
    section->addRow(QStringLiteral("Accessibility Needed"),
                    QStringLiteral("The window tools and the middle click act through the X server's XTest "
                                   "extension, as Direct Paste does, and this display lacks it."));
    // The keyboard layout per app needs no synthetic input.
    const auto showSection = [section, &model, &defaults] {
        const bool needsTrust = defaults.boolValue(keys::windowSwitcherEnabled)
                                || defaults.boolValue(keys::threeFingerMiddleClick)
                                || defaults.boolValue(keys::windowSizeEnabled);
        section->setVisible(needsTrust && !model.accessibilityGranted());
    };
    followKeys(section, defaults, {keys::windowSwitcherEnabled, keys::threeFingerMiddleClick, keys::windowSizeEnabled},
               showSection);
    connect(&model, &AppModel::accessibilityGrantedChanged, section, showSection);
}

} // namespace tamo
