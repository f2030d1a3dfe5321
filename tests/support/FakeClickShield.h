#pragma once

#include "platform/ClickShield.h"

namespace tamo::testing {

class FakeClickShield final : public ClickShield
{
public:
    void cover(const QRectF &frame) override
    {
        this->frame = frame;
        covering = true;
    }
    void remove() override { covering = false; }
    bool isCovering() const override { return covering; }

    QRectF frame;
    bool covering = false;
};

} // namespace tamo::testing
