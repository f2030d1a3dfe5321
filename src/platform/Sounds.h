#pragma once

#include <QString>

namespace tamo {

// Short event sounds, named as the system sounds TamoCove's design uses
// ("Bottle"). Playing never blocks and is silent where no sound can be made.
class Sounds
{
public:
    virtual ~Sounds() = default;
    virtual void play(const QString &name) = 0;
};

} // namespace tamo
