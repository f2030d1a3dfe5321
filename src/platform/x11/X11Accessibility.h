#pragma once

#include "platform/Accessibility.h"
#include "platform/x11/X11Connection.h"

namespace tamo::x11 {

// X11 lets any client send synthetic input: trusted whenever the server has
// the XTest extension.
class X11Accessibility final : public Accessibility
{
public:
    explicit X11Accessibility(X11Connection x11) : m_x11(x11) {}

    bool isTrusted() const override;
    void promptForTrust() override;

private:
    X11Connection m_x11;
};

} // namespace tamo::x11
