#pragma once

#include "platform/Sounds.h"

struct ca_context;

namespace tamo::x11 {

// Plays through libcanberra from the desktop's sound theme, so the user's
// theme and event-sound setting apply.
class CanberraSounds final : public Sounds
{
public:
    CanberraSounds();
    ~CanberraSounds() override;
    CanberraSounds(const CanberraSounds &) = delete;
    CanberraSounds &operator=(const CanberraSounds &) = delete;

    void play(const QString &name) override;

private:
    ca_context *m_context = nullptr;
    bool m_failureReported = false;
};

} // namespace tamo::x11
