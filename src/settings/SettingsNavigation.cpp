#include "settings/SettingsNavigation.h"

namespace tamo {

void SettingsNavigation::setPage(SettingsPage page)
{
    if (page == m_page)
        return;
    m_page = page;
    emit pageChanged(page);
}

} // namespace tamo
