// The menu-bar panel's road on a real X server: a paste from it lands in the
// app that was in front when it opened, not where the drawer was last opened.
#include "X11DrawerFixture.h"
#include "support/FakeClickShield.h"
#include "support/FakeStatusItem.h"

#include "drawer/TamoPanel.h"
#include "platform/x11/X11Properties.h"

using namespace tamo;
using namespace tamo::testing;

namespace {

class X11MenuBarPasteTest : public X11DrawerFixture
{
protected:
    void SetUp() override
    {
        X11DrawerFixture::SetUp();
        if (HasFatalFailure())
            return;
        defaults.setValue(keys::showMenuBarIcon, true);
        defaults.setValue(keys::menuBarRecentClips, true);
        statusItem.setAnchor({700, 875, 24, 25});
        assemble(&statusItem, &shield);
    }

    qint64 activeProcess() const
    {
        const quint32 active = properties.numbers(x11.rootWindow, "_NET_ACTIVE_WINDOW").value(0);
        return properties.numbers(active, "_NET_WM_PID").value(0);
    }

    static void press(const QString &key)
    {
        xdotool({QStringLiteral("keydown"), key, QStringLiteral("sleep"), QStringLiteral("0.15"),
                 QStringLiteral("keyup"), key});
    }

    const x11::X11Connection x11 = x11::X11Connection::fromApplication();
    const x11::X11Properties properties{x11.xcb};
    FakeStatusItem statusItem;
    FakeClickShield shield;
};

TEST_F(X11MenuBarPasteTest, ReturnPastesIntoTheAppInFrontWhenThePanelOpened)
{
    const auto copier = copyText(QStringLiteral("through the panel ✓"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return clipCount(*model) == 1; }, 5000));

    // The drawer is opened and closed over one app ...
    const auto first = startEditor();
    model->openDrawer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->stripPanel().isActiveWindow(); }, 5000));
    panel->hide(false);
    // ... then the user works in another and opens the menu-bar panel there.
    const auto second = startEditor();
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeProcess() == second->pid(); }, 5000));
    menuBarClips->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menuBarClips->panel()->isActiveWindow(); }, 5000));

    press(QStringLiteral("Return"));
    EXPECT_TRUE(second->waitForLine(QStringLiteral("text through the panel ✓")));
    EXPECT_FALSE(first->lines().contains(QStringLiteral("text through the panel ✓")));
    EXPECT_TRUE(menuBarClips->panel()->isHidden());
}

} // namespace
