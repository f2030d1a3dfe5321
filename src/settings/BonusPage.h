#pragma once

#include "settings/FormKit.h"

#include <QLatin1StringView>

#include <functional>

namespace tamo {

struct SettingsEnvironment;

// The bonus tools that exist here, switched on and off with their shortcuts:
// the window switcher and the window sizer.
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

    SettingsEnvironment &m_env;
};

} // namespace tamo
