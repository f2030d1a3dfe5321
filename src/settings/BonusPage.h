#pragma once

#include "settings/FormKit.h"

namespace tamo {

struct SettingsEnvironment;

// The bonus tools that exist here, switched on and off with their shortcuts:
// the window switcher and the window sizer.
class BonusPage : public SettingsForm
{
    Q_OBJECT

public:
    explicit BonusPage(SettingsEnvironment &environment, QWidget *parent = nullptr);

private:
    void addWindowSwitcher();
    void addWindowSize();

    SettingsEnvironment &m_env;
};

} // namespace tamo
