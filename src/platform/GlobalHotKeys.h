#pragma once

#include <QObject>

namespace tamo {

// System-wide shortcuts that reach TamoCove whichever app is in front. A slot
// holds at most one shortcut, given as a virtual key code and Carbon modifiers
// (see KeyCodes).
class GlobalHotKeys : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Replaces the slot's shortcut. False when the system refuses the
    // combination (another app holds it, or the key is not on the keyboard);
    // the slot is then left without a shortcut.
    virtual bool registerHotKey(int slot, int keyCode, int carbonModifiers) = 0;
    // Harmless for a slot without a shortcut.
    virtual void unregisterHotKey(int slot) = 0;

signals:
    // Once per key press, on the main thread; holding the keys does not repeat.
    void pressed(int slot);
};

} // namespace tamo
