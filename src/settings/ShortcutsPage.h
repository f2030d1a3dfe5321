#pragma once

#include "settings/FormKit.h"

namespace tamo {

struct SettingsEnvironment;

// The main shortcut, what it opens, and the keys that work in the drawer.
class ShortcutsPage : public SettingsForm
{
    Q_OBJECT

public:
    struct PanelKeys
    {
        QString keys;   // as this desktop names them
        QString action;
    };
    // The drawer's keys, in the order the page lists them.
    static QList<PanelKeys> panelShortcuts();

    explicit ShortcutsPage(SettingsEnvironment &environment, QWidget *parent = nullptr);

private:
    void addMainShortcut(SettingsEnvironment &environment);
    void addPanelKeys();
};

} // namespace tamo
