#pragma once

#include <QLatin1StringView>
#include <QList>

#include <functional>

class QObject;

namespace tamo {

class Defaults;
class SwitchToggle;

// Controls bound to user-defaults keys: they show the stored value, follow
// changes made anywhere else, and write only what the user changes.

// Runs `refresh` now and after each change of one of the keys, for as long
// as `receiver` lives.
void followKeys(QObject *receiver, Defaults &defaults, const QList<QLatin1StringView> &keys,
                std::function<void()> refresh);

// A switch for a Bool key, which a flip writes.
SwitchToggle *boundSwitch(Defaults &defaults, QLatin1StringView key);
// A switch for a Bool key whose flips go through `change`, which decides what
// is stored; the switch then shows the stored value.
SwitchToggle *boundSwitch(Defaults &defaults, QLatin1StringView key, std::function<void(bool)> change);

} // namespace tamo
