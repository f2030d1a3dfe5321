#pragma once

#include "settings/FormKit.h"

#include <QLatin1StringView>
#include <QStringList>

#include <functional>

namespace tamo {

class WindowSizeRows;
struct SettingsEnvironment;

// The bonus tools, switched on and off and set up: the window switcher and
// the window sizer with their shortcuts and the sizer's size per screen, the
// three-finger middle click with its state, and the keyboard layout per app
// with its rules. Each tool's section has a help button; a last section says
// when a tool that is on lacks the synthetic input it needs.
class BonusPage : public SettingsForm
{
    Q_OBJECT

public:
    // The settings keys of a tool and its shortcut.
    struct ToolKeys
    {
        int slot;
        QLatin1StringView enabled;
        QLatin1StringView code;
        QLatin1StringView modifiers;
        QLatin1StringView display;
    };

    explicit BonusPage(SettingsEnvironment &environment, QWidget *parent = nullptr);

    WindowSizeRows &windowSizeRows() const { return *m_windowSizes; }

private:
    struct Tool
    {
        QString title;
        QString action; // what pressing the shortcut does
        ToolKeys keys;
        std::function<void(bool)> switchOn;
    };
    // The tool's section: its switch, and its shortcut while it is on.
    FormSection *addTool(const Tool &tool);
    void addWindowSwitcher();
    void addWindowSize();
    void addMiddleClick();
    void addInputSources();
    void addAccessibility();
    void addHelp(FormSection *section, const QString &topic, std::function<QStringList()> texts);

    SettingsEnvironment &m_env;
    WindowSizeRows *m_windowSizes = nullptr;
};

} // namespace tamo
