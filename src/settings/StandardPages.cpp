#include "settings/StandardPages.h"

#include "settings/AboutPage.h"
#include "settings/BonusPage.h"
#include "settings/ClipsPage.h"
#include "settings/GeneralPage.h"
#include "settings/PrivacyPage.h"
#include "settings/ShortcutsPage.h"

namespace tamo {

SettingsPages standardSettingsPages(SettingsEnvironment &environment)
{
    SettingsPages pages;
    pages.add(SettingsPage::general, [&environment] { return new GeneralPage(environment); });
    pages.add(SettingsPage::tamos, [&environment] { return new ClipsPage(environment); });
    pages.add(SettingsPage::shortcuts, [&environment] { return new ShortcutsPage(environment); });
    pages.add(SettingsPage::privacy, [&environment] { return new PrivacyPage(environment); });
    pages.add(SettingsPage::bonus, [&environment] { return new BonusPage(environment); });
    pages.add(SettingsPage::about, [&environment] { return new AboutPage(environment); });
    return pages;
}

} // namespace tamo
