#include "settings/SettingsPages.h"

namespace tamo {

void SettingsPages::add(SettingsPage page, Builder builder)
{
    m_builders.insert(page, std::move(builder));
}

QWidget *SettingsPages::build(SettingsPage page) const
{
    const auto it = m_builders.constFind(page);
    return it == m_builders.cend() ? nullptr : (*it)();
}

} // namespace tamo
