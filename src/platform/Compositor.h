#pragma once

namespace tamo {

// The desktop's compositing manager. Without one, X11 windows cannot be
// see-through: their transparent pixels show as black.
class Compositor
{
public:
    virtual ~Compositor() = default;

    virtual bool isRunning() const = 0;
};

} // namespace tamo
