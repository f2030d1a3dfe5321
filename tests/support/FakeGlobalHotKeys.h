#pragma once

#include "platform/GlobalHotKeys.h"

#include <QHash>
#include <QSet>

#include <utility>

namespace tamo::testing {

// Remembers what each slot holds; combinations marked taken are refused as
// if another app had grabbed them.
class FakeGlobalHotKeys final : public GlobalHotKeys
{
    Q_OBJECT
public:
    using Combination = std::pair<int, int>; // key code, Carbon modifiers

    void markTaken(int keyCode, int carbonModifiers) { m_taken.insert({keyCode, carbonModifiers}); }

    bool registerHotKey(int slot, int keyCode, int carbonModifiers) override
    {
        unregisterHotKey(slot);
        if (m_taken.contains({keyCode, carbonModifiers}))
            return false;
        m_registered.insert(slot, {keyCode, carbonModifiers});
        return true;
    }
    void unregisterHotKey(int slot) override { m_registered.remove(slot); }

    bool isRegistered(int slot) const { return m_registered.contains(slot); }
    Combination registered(int slot) const { return m_registered.value(slot); }

    // Presses the slot's shortcut; nothing happens for a slot without one.
    void press(int slot)
    {
        if (isRegistered(slot))
            emit pressed(slot);
    }

private:
    QHash<int, Combination> m_registered;
    QSet<Combination> m_taken;
};

} // namespace tamo::testing
