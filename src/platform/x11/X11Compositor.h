#pragma once

#include "platform/Compositor.h"
#include "platform/x11/X11Connection.h"

#include <QtGlobal>

namespace tamo::x11 {

// A compositing manager announces itself by owning the _NET_WM_CM_S<n>
// selection of the screen it composites. Asked anew each time, as one may
// start or stop while we run.
class X11Compositor final : public Compositor
{
public:
    explicit X11Compositor(X11Connection x11);

    bool isRunning() const override;

private:
    X11Connection m_x11;
    quint32 m_selection = 0;  // the selection's atom, none without a connection
};

} // namespace tamo::x11
