#include "app/GlobalHotKeyRegistry.h"

#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/GlobalHotKeys.h"

namespace tamo {

namespace {

struct StoredShortcutKeys
{
    keys::Key code;
    keys::Key modifiers;
};

// By slot number.
constexpr std::array kStoredShortcutKeys{
    StoredShortcutKeys{keys::hotKeyCode, keys::hotKeyModifiers},
    StoredShortcutKeys{keys::windowSwitcherHotKeyCode, keys::windowSwitcherHotKeyModifiers},
    StoredShortcutKeys{keys::windowSizeHotKeyCode, keys::windowSizeHotKeyModifiers},
};

} // namespace

GlobalHotKeyRegistry::GlobalHotKeyRegistry(GlobalHotKeys &hotKeys, const Defaults &defaults, QObject *parent)
    : QObject(parent)
    , m_hotKeys(hotKeys)
    , m_defaults(defaults)
{
    static_assert(kStoredShortcutKeys.size() == slotCount);
    connect(&m_hotKeys, &GlobalHotKeys::pressed, this, &GlobalHotKeyRegistry::dispatch);
}

GlobalHotKeyRegistry::~GlobalHotKeyRegistry()
{
    for (int slot = 0; slot < slotCount; ++slot)
        unregister(slot);
}

void GlobalHotKeyRegistry::setHandler(int slot, std::function<void()> handler)
{
    if (isKnown(slot))
        m_slots[slot].handler = std::move(handler);
}

void GlobalHotKeyRegistry::registerSlot(int slot, int keyCode, int modifiers)
{
    // The platform replaces the slot's hot key, and leaves none when it
    // refuses the new one.
    if (isKnown(slot))
        m_slots[slot].registered = m_hotKeys.registerHotKey(slot, keyCode, modifiers);
}

void GlobalHotKeyRegistry::unregister(int slot)
{
    if (!isKnown(slot) || !m_slots[slot].registered)
        return;
    m_hotKeys.unregisterHotKey(slot);
    m_slots[slot].registered = false;
}

bool GlobalHotKeyRegistry::isRegistered(int slot) const
{
    return isKnown(slot) && m_slots[slot].registered;
}

void GlobalHotKeyRegistry::registerWindowSwitcherFromDefaults()
{
    registerFromDefaults(WindowSwitcherSlot);
}

void GlobalHotKeyRegistry::registerWindowSizerFromDefaults()
{
    registerFromDefaults(WindowSizerSlot);
}

bool GlobalHotKeyRegistry::conflicts(int slot, int keyCode, int modifiers) const
{
    for (int other = 0; other < slotCount; ++other) {
        if (other != slot && isStoredShortcut(other, keyCode, modifiers))
            return true;
    }
    return false;
}

bool GlobalHotKeyRegistry::pressShortcut(int keyCode, int modifiers)
{
    for (int slot = 0; slot < slotCount; ++slot) {
        if (isRegistered(slot) && isStoredShortcut(slot, keyCode, modifiers)) {
            dispatch(slot);
            return true;
        }
    }
    return false;
}

bool GlobalHotKeyRegistry::isStoredShortcut(int slot, int keyCode, int modifiers) const
{
    const StoredShortcutKeys &stored = kStoredShortcutKeys[slot];
    return m_defaults.integer(stored.code) == keyCode && m_defaults.integer(stored.modifiers) == modifiers;
}

void GlobalHotKeyRegistry::registerFromDefaults(int slot)
{
    const StoredShortcutKeys &stored = kStoredShortcutKeys[slot];
    registerSlot(slot, int(m_defaults.integer(stored.code)), int(m_defaults.integer(stored.modifiers)));
}

void GlobalHotKeyRegistry::dispatch(int slot)
{
    // A press queued before its hot key was released no longer counts. The
    // handler is copied because it may replace itself while it runs.
    if (!isRegistered(slot))
        return;
    if (const std::function<void()> handler = m_slots[slot].handler)
        handler();
}

} // namespace tamo
