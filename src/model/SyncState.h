#pragma once

namespace tamo {

// What the store needs to know of sync: whether this launch mirrors the
// synced store, and whether the first import from the other machines has
// arrived (until then the shared history is incomplete and is not trimmed).
class SyncState
{
public:
    virtual ~SyncState() = default;
    virtual bool isEnabled() const = 0;
    virtual bool importedOnce() const = 0;
};

// Used until a mirror is attached: nothing syncs, so nothing waits for it.
class NoSync final : public SyncState
{
public:
    bool isEnabled() const override { return false; }
    bool importedOnce() const override { return false; }
};

} // namespace tamo
