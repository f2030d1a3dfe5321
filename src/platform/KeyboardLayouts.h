#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace tamo {

// One keyboard layout the user can switch to, e.g. id "de(nodeadkeys)",
// name "German (no dead keys)".
struct KeyboardLayout
{
    QString id;
    QString name;

    bool operator==(const KeyboardLayout &) const = default;
};

// The keyboard layouts configured on the display and which one is current.
class KeyboardLayouts
{
public:
    virtual ~KeyboardLayouts() = default;

    // The layouts the user can switch between, in the order the display has them.
    virtual QList<KeyboardLayout> layouts() const = 0;
    // Empty when the display tells no current layout.
    virtual QString currentLayoutID() const = 0;
    // 0 when the layout is now current, else the display's error code (or -1
    // for a layout it does not have).
    virtual int select(const QString &id) = 0;
    // Whether the desktop keeps a layout per window of its own.
    virtual bool followsWindowLayout() const = 0;
    // What the key left of 1 types in the current layout ("`" on US, "^" on
    // German); empty when the display does not tell.
    virtual QString keyLeftOfOne() const = 0;
};

} // namespace tamo
