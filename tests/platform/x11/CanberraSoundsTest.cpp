#include "platform/x11/CanberraSounds.h"

#include <gtest/gtest.h>

// The test machines have no sound server: playing must neither block nor
// fail loudly there.
TEST(CanberraSounds, PlaysNothingQuietlyWithoutASoundServer)
{
    tamo::x11::CanberraSounds sounds;
    sounds.play(QStringLiteral("Bottle"));
    sounds.play(QStringLiteral("NoSuchSound"));
    sounds.play(QStringLiteral("Bottle"));
}
