#include "bonus/InputSourceSwitcher.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11KeyboardLayouts.h"
#include "platform/x11/X11Workspace.h"
#include "platform/x11/OtherAppWindows.h"
#include "platform/x11/RunCommand.h"
#include "support/FakeClock.h"
#include "support/TempDir.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

// Two layouts on the test display, put back to one when the test ends so the
// other suites type as before.
class InputSourcesX11Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x11.isValid()) << "this suite needs an X server";
        runCommand(QStringLiteral("setxkbmap -layout us,de -variant ,nodeadkeys"));
    }
    void TearDown() override { runCommand(QStringLiteral("setxkbmap -layout us")); }

    x11::X11Connection x11 = x11::X11Connection::fromApplication();
};

TEST_F(InputSourcesX11Test, TheDisplaysLayoutsAreListedNamedAndSelected)
{
    x11::X11KeyboardLayouts layouts(x11);
    const QList<KeyboardLayout> expected = {{QStringLiteral("us"), QStringLiteral("English (US)")},
                                            {QStringLiteral("de(nodeadkeys)"), QStringLiteral("German (no dead keys)")}};
    EXPECT_EQ(layouts.layouts(), expected);
    EXPECT_EQ(layouts.select(QStringLiteral("de(nodeadkeys)")), 0);
    EXPECT_EQ(layouts.currentLayoutID(), QStringLiteral("de(nodeadkeys)"));
    EXPECT_EQ(layouts.keyLeftOfOne(), QStringLiteral("^")) << "the key left of 1, as the current layout names it";
    EXPECT_NE(layouts.select(QStringLiteral("fr")), 0) << "not configured";
    EXPECT_EQ(layouts.select(QStringLiteral("us")), 0);
    EXPECT_EQ(layouts.currentLayoutID(), QStringLiteral("us"));
    EXPECT_EQ(layouts.keyLeftOfOne(), QStringLiteral("`"));
}

TEST_F(InputSourcesX11Test, EachAppGetsItsLayoutWhenItComesToTheFront)
{
    TempDir dir;
    Defaults defaults(dir.file(QStringLiteral("defaults.json")));
    defaults.setValue(keys::inputSourceRules, QVariantMap{{QStringLiteral("TamoWriterDe"), QStringLiteral("de(nodeadkeys)")},
                                                          {QStringLiteral("TamoWriterUs"), QStringLiteral("us")}});
    FakeClock clock;
    x11::X11ActiveWindow activeWindow(x11);
    DesktopEntries apps{{dir.path()}};
    x11::X11Workspace workspace(x11, activeWindow, apps);
    x11::X11KeyboardLayouts layouts(x11);
    InputSourceSwitcher switcher(workspace, layouts, defaults, clock);
    switcher.start();

    OtherAppWindows windows;
    // Another app's, as far as the switcher can tell: X-Resource would name this process.
    constexpr qint64 otherApp = 1 << 30;
    const xcb_window_t german = windows.create("writer", "TamoWriterDe", otherApp);
    const xcb_window_t english = windows.create("writer", "TamoWriterUs", otherApp);
    for (int round = 0; round < 2; ++round) {
        windows.activate(german);
        EXPECT_TRUE(QTest::qWaitFor([&] { return layouts.currentLayoutID() == QStringLiteral("de(nodeadkeys)"); }, 5000));
        windows.activate(english);
        EXPECT_TRUE(QTest::qWaitFor([&] { return layouts.currentLayoutID() == QStringLiteral("us"); }, 5000));
    }
    EXPECT_EQ(switcher.recentSwitches().size(), 4);
}

} // namespace
