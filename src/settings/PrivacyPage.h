#pragma once

#include "settings/FormKit.h"

namespace tamo {

struct SettingsEnvironment;

// What TamoCove may show and keep: screen sharing, secrets, automatic copies
// and the apps whose copies are never saved.
class PrivacyPage : public SettingsForm
{
    Q_OBJECT

public:
    explicit PrivacyPage(SettingsEnvironment &environment, QWidget *parent = nullptr);

private:
    // Turning skipping on offers to export the pinboards first; true when it
    // may go on.
    bool confirmSkipSecrets();

    SettingsEnvironment &m_env;
};

} // namespace tamo
