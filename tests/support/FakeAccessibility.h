#pragma once

#include "platform/Accessibility.h"

namespace tamo::testing {

class FakeAccessibility final : public Accessibility
{
public:
    bool isTrusted() const override { return trusted; }
    void promptForTrust() override { ++promptCount; }

    bool trusted = true;
    int promptCount = 0;
};

} // namespace tamo::testing
