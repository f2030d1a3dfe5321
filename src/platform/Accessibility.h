#pragma once

namespace tamo {

// Permission to send synthetic input to other apps.
class Accessibility
{
public:
    virtual ~Accessibility() = default;

    virtual bool isTrusted() const = 0;
    // Asks the user for the permission. X11 grants it without asking, so
    // there is nothing to show there.
    virtual void promptForTrust() = 0;
};

} // namespace tamo
