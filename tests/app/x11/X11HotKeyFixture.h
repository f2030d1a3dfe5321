#pragma once

#include "app/GlobalHotKeyRegistry.h"
#include "app/HotKey.h"
#include "model/DefaultSettings.h"
#include "platform/Defaults.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11GlobalHotKeys.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tamo::testing {

// The main shortcut grabbed on the real X server, with settings of its own.
class X11HotKeyFixture : public ::testing::Test
{
protected:
    X11HotKeyFixture() { registerDefaultSettings(defaults); }
    void SetUp() override { ASSERT_TRUE(x11.isValid()) << "this suite needs an X server"; }

    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11GlobalHotKeys hotKeys{x11};
    GlobalHotKeyRegistry registry{hotKeys, defaults};
    HotKey hotKey{registry, defaults};
};

} // namespace tamo::testing
