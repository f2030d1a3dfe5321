#include "cards/ScreenCardSizesService.h"

#include "cards/ScreenCardSizes.h"
#include "platform/Screens.h"

namespace tamo {

ScreenCardSizesService::ScreenCardSizesService(Defaults &defaults, const Screens &screens)
    : m_defaults(defaults), m_screens(screens)
{
}

void ScreenCardSizesService::startCardSizes()
{
    const QList<ScreenInfo> screens = m_screens.screens();
    if (screens.isEmpty())
        return;
    ScreenCardSizes::remember(m_defaults, screens);
    ScreenCardSizes::activate(m_defaults, ScreenCardSizes::screenID(screens.first())); // the primary screen
}

} // namespace tamo
