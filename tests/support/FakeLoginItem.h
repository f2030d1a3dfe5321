#pragma once

#include "platform/LoginItem.h"

#include <QStringList>

namespace tamo::testing {

// A login item that can be told to refuse changes; it logs each request.
class FakeLoginItem final : public LoginItem
{
public:
    bool enabled = false;
    bool refuses = false;
    QStringList requests;

    bool isEnabled() const override { return enabled; }
    bool setEnabled(bool on) override
    {
        requests.append(on ? QStringLiteral("on") : QStringLiteral("off"));
        if (refuses)
            return false;
        enabled = on;
        return true;
    }
};

} // namespace tamo::testing
