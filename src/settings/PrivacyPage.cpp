#include "settings/PrivacyPage.h"

#include "app/AppModel.h"
#include "model/SettingsKeys.h"
#include "platform/Alerts.h"
#include "platform/Defaults.h"
#include "settings/DefaultsBindings.h"
#include "settings/IgnoredAppsList.h"
#include "settings/SwitchToggle.h"
#include "settings/SettingsEnvironment.h"

namespace tamo {

PrivacyPage::PrivacyPage(SettingsEnvironment &environment, QWidget *parent)
    : SettingsForm(parent)
    , m_env(environment)
{
    Defaults &defaults = m_env.defaults;
    // X11 gives no way to leave a window out of a screen capture: shown, greyed, and saying why.
    auto *screenSharing = boundSwitch(defaults, keys::showDuringScreenSharing);
    screenSharing->setEnabled(false);
    addSection(QStringLiteral("Privacy"))
        ->addRow(QStringLiteral("Show During Screen Sharing"),
                 QStringLiteral("X11 cannot keep windows out of screen sharing, so TamoCove is always shown."),
                 screenSharing);

    FormSection *sensitive = addSection(QStringLiteral("Sensitive Data"));
    sensitive->addRow(QStringLiteral("Don't Save API Keys and Tokens"),
                      QStringLiteral("Skips copies that contain an API key, access token or private key, such as "
                                     "GitHub, AWS, OpenAI or Stripe keys."),
                      boundSwitch(defaults, keys::skipSecrets, [this, &defaults](bool on) {
                          if (!on || confirmSkipSecrets())
                              defaults.setValue(keys::skipSecrets, on);
                      }));
    sensitive->addRow(QStringLiteral("Save Automatic Copies"),
                      QStringLiteral("Keeps copies that apps make by themselves, such as copy-on-select in terminal "
                                     "apps. Copies from password managers are always skipped."),
                      boundSwitch(defaults, keys::saveAutomaticCopies));

    FormSection *ignored = addSection(QStringLiteral("Ignore Applications"));
    ignored->setHeaderNote(QStringLiteral("Don't save content copied from the applications below."));
    auto *list = new IgnoredAppsList(defaults, m_env.model.workspace(), m_env.appChooser);
    list->setAccessibleName(QStringLiteral("Ignored applications"));
    ignored->addWidget(list);
}

bool PrivacyPage::confirmSkipSecrets()
{
    const int answer = m_env.alerts.runModal(
        {QStringLiteral("Stop saving API keys and tokens?"),
         QStringLiteral("Copies that contain an API key, token or private key won't be saved. We recommend "
                        "exporting your pinboards first as a backup."),
         {QStringLiteral("Export Pinboards…"), QStringLiteral("Turn On Without Backup"), QStringLiteral("Cancel")}});
    if (answer == 0)
        return m_env.model.pinboardFiles().exportPinboards();
    return answer == 1;
}

} // namespace tamo
