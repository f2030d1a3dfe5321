#include "settings/StandardPages.h"

#include "settings/GeneralPage.h"

namespace tamo {

SettingsPages standardSettingsPages(SettingsEnvironment &environment)
{
    SettingsPages pages;
    pages.add(SettingsPage::general, [&environment] { return new GeneralPage(environment); });
    return pages;
}

} // namespace tamo
