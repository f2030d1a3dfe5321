#include "platform/x11/WindowManager.h"

#include "onboarding/OnboardingWindow.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"
#include "settings/PreferencesWindow.h"
#include "settings/SettingsNavigation.h"
#include "settings/SettingsPages.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tamo;

// The settings window, the personalisation window and the tour keep one size.
// openbox still draws every button of its title layout, the maximise button
// of such a window in its disabled look; what it offers is in the actions.
TEST(FixedWindowsX11Test, TheWindowManagerOffersNeitherMaximiseNorResize)
{
    const x11::X11Connection x11 = x11::X11Connection::fromApplication();
    ASSERT_TRUE(x11.isValid()) << "this suite needs an X server";
    tamo::testing::WindowManager windowManager;
    const x11::X11Properties properties(x11.xcb);
    SettingsNavigation navigation;
    const SettingsPages noPages;
    PreferencesWindow settings(navigation, noPages);
    OnboardingWindow tour(QStringLiteral("Explore Features"), QSize(644, 621),
                          [](const std::function<void()> &) { return new QWidget; });

    for (QWidget *window : {static_cast<QWidget *>(&settings), static_cast<QWidget *>(&tour)}) {
        const std::string name = window->metaObject()->className();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << name;
        QList<quint32> actions;
        // The manager lists the actions once it manages the window; moving is
        // offered to every window it frames.
        const quint32 move = properties.atom("_NET_WM_ACTION_MOVE");
        ASSERT_TRUE(QTest::qWaitFor([&] {
            actions = properties.numbers(quint32(window->winId()), "_NET_WM_ALLOWED_ACTIONS");
            return actions.contains(move);
        }, 30000)) << name;
        for (const QByteArray action : {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT",
                                        "_NET_WM_ACTION_RESIZE"})
            EXPECT_FALSE(actions.contains(properties.atom(action))) << name << " offers " << action.constData();
        window->hide();
    }
}
