#pragma once

#include <QObject>

#include <array>
#include <functional>

namespace tamo {

class Defaults;
class GlobalHotKeys;

// The three system-wide shortcuts TamoCove answers.
enum HotKeySlot : int {
    MainShortcutSlot = 0,
    WindowSwitcherSlot = 1,
    WindowSizerSlot = 2,
};

// Which system hot key each slot holds and what a press of it runs. A slot's
// handler and its registration are independent: releasing the hot key (while
// a shortcut is being recorded, say) keeps the handler for when it returns.
// Shortcuts are given and stored as virtual key codes with Carbon modifiers.
// Numbers other than the three slots are ignored. Main thread only.
class GlobalHotKeyRegistry final : public QObject
{
    Q_OBJECT

public:
    GlobalHotKeyRegistry(GlobalHotKeys &hotKeys, const Defaults &defaults, QObject *parent = nullptr);
    // Releases every hot key still registered.
    ~GlobalHotKeyRegistry() override;

    // Replaces what a press runs, keeping any registration; an empty
    // function clears it.
    void setHandler(int slot, std::function<void()> handler);

    // Replaces the slot's hot key. When the system refuses the combination
    // (another app holds it), the slot is left without one; callers learn
    // that only through isRegistered().
    void registerSlot(int slot, int keyCode, int modifiers);
    void unregister(int slot);
    bool isRegistered(int slot) const;

    void registerWindowSwitcherFromDefaults();
    void registerWindowSizerFromDefaults();

    // Whether the combination is the stored shortcut of one of the other two
    // slots, whether or not that tool is on. The slot's own shortcut is
    // never a conflict, so recording it again is allowed.
    bool conflicts(int slot, int keyCode, int modifiers) const;
    // Runs the handler of the registered slot whose stored shortcut the
    // combination is; false when there is none. A window that holds the
    // keyboard sees a hot key as a key press, and hands it on here.
    bool pressShortcut(int keyCode, int modifiers);

private:
    struct Slot
    {
        bool registered = false;
        std::function<void()> handler;
    };
    static constexpr int slotCount = 3;

    void registerFromDefaults(int slot);
    bool isStoredShortcut(int slot, int keyCode, int modifiers) const;
    void dispatch(int slot);
    static bool isKnown(int slot) { return slot >= 0 && slot < slotCount; }

    GlobalHotKeys &m_hotKeys;
    const Defaults &m_defaults;
    std::array<Slot, slotCount> m_slots;
};

} // namespace tamo
