#pragma once

#include "app/AppHooks.h"

namespace tamo {

class Defaults;
class Screens;

// Starts the per-screen card sizes at launch from the connected screens.
class ScreenCardSizesService final : public CardSizesService
{
public:
    ScreenCardSizesService(Defaults &defaults, const Screens &screens);
    void startCardSizes() override;

private:
    Defaults &m_defaults;
    const Screens &m_screens;
};

} // namespace tamo
