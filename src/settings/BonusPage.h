#pragma once

#include "settings/FormKit.h"

#include <QLatin1StringView>

#include <functional>

namespace tamo {

struct SettingsEnvironment;

// The bonus tools, switched on and off and set up: the window switcher and
// the window sizer with their shortcuts, the three-finger middle click with
// its state, and the keyboard layout per app with its rules.
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
    void addMiddleClick();
    void addInputSources();

    SettingsEnvironment &m_env;
};

} // namespace tamo
