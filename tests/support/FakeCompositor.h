#pragma once

#include "platform/Compositor.h"

namespace tamo::testing {

class FakeCompositor final : public Compositor
{
public:
    bool isRunning() const override { return running; }

    bool running = true;
};

} // namespace tamo::testing
