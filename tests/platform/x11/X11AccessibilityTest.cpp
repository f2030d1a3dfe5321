#include "platform/x11/X11Accessibility.h"

#include <gtest/gtest.h>

TEST(X11Accessibility, TrustedWhenTheServerHasXTest)
{
    const tamo::x11::X11Accessibility accessibility(tamo::x11::X11Connection::fromApplication());
    EXPECT_TRUE(accessibility.isTrusted());
    EXPECT_FALSE(tamo::x11::X11Accessibility(tamo::x11::X11Connection()).isTrusted());
}
