#include "platform/x11/X11Connection.h"

#include <gtest/gtest.h>

TEST(X11Connection, SharesQtsConnectionWithItsRootWindow)
{
    const auto connection = tamo::x11::X11Connection::fromApplication();
    ASSERT_TRUE(connection.isValid()) << "this suite needs an X server (scripts/test runs it under xvfb-run)";
    EXPECT_NE(connection.rootWindow, 0u);
    EXPECT_NE(connection.display, nullptr);
}
