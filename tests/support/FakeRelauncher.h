#pragma once

#include "platform/Relauncher.h"

namespace tamo::testing {

// Counts relaunches and answers with the scripted outcome.
class FakeRelauncher final : public Relauncher
{
public:
    bool launches = true;
    int relaunches = 0;

    bool relaunch() override
    {
        ++relaunches;
        return launches;
    }
};

} // namespace tamo::testing
