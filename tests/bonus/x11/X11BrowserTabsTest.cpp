#include "bonus/BrowserTabs.h"
#include "bonus/RecentWindows.h"
#include "bonus/WindowSwitcherCatalog.h"
#include "bonus/WindowSwitcherController.h"
#include "model/DefaultSettings.h"
#include "model/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/x11/AtSpiTree.h"
#include "platform/x11/ChildProcess.h"
#include "platform/x11/WindowManager.h"
#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowServer.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QKeyEvent>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

// Whether the accessibility bus answers on this session bus; D-Bus starts it
// on the first call.
bool accessibilityBusAnswers()
{
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                       QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")),
        QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool press(WindowSwitcherController &controller, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    return controller.handleKey(event);
}

// A Qt window with a tab bar and an address field, read over a private
// session bus and its accessibility bus: its tabs are listed and chosen.
TEST(X11BrowserTabsTest, ListsAndActivatesTheTabsOfAnAccessibleWindow)
{
    if (!accessibilityBusAnswers())
        GTEST_SKIP() << "the accessibility bus (at-spi2-core's at-spi-bus-launcher) did not start on the test's "
                        "session bus";
    x11::AtSpiTree tree(2000);
    tree.enable();

    WindowManager windowManager;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_ACCESSIBILITY"), QStringLiteral("1"));
    ChildProcess peer(QStringLiteral(TAMO_X11_TEST_PEER), {QStringLiteral("browser")}, environment);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const QStringList lines = peer.lines();
        return std::any_of(lines.cbegin(), lines.cend(),
                           [](const QString &line) { return line.startsWith(QLatin1String("browser ")); });
    }, 10000));

    const auto x11 = x11::X11Connection::fromApplication();
    TempDir dir;
    Defaults defaults(dir.file(QStringLiteral("defaults.json")));
    registerDefaultSettings(defaults);
    defaults.setValue(keys::windowSwitcherBrowserTabs, true);
    x11::X11Screens screens(x11);
    x11::X11ActiveWindow activeWindow(x11);
    DesktopEntries apps;
    x11::X11WindowServer server(x11, activeWindow, screens, apps);
    x11::X11Accessibility accessibility(x11);
    SystemClock clock;
    RecentWindows recent;
    WindowSwitcherCatalog catalog(server, accessibility, defaults, recent, QCoreApplication::applicationPid());

    // The peer is tab-capable by its own app id, whatever the desktop calls it.
    QString peerApp;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (const RunningApp &app : server.runningApps()) {
            if (app.pid == peer.pid())
                peerApp = app.info.bundleID;
        }
        return !peerApp.isEmpty();
    }, 5000));
    BrowserTabs tabs(tree, clock, {peerApp});
    catalog.setBrowserTabs(&tabs);

    std::optional<WindowSwitcherRow> row;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (const WindowSwitcherRow &candidate : catalog.rows()) {
            if (candidate.app.pid == peer.pid() && candidate.tabCount == 3)
                row = candidate;
        }
        return row.has_value();
    }, 15000)) << "the peer's three tabs were never counted";

    WindowSwitcherController controller({&catalog, &recent, &server, &accessibility, &defaults, &screens, &tabs});
    controller.show();
    ASSERT_TRUE(controller.isVisible());
    const std::optional<int> index = controller.state().indexOfRow(row->id);
    ASSERT_TRUE(index);
    controller.state().setSelection(*index);
    press(controller, Qt::Key_Right);
    QStringList titles;
    for (const WindowSwitcherRow &tab : controller.state().tabs())
        titles.append(tab.displayTitle());
    EXPECT_EQ(titles, (QStringList{"News", "Mail", "Docs", "New Tab"}));
    ASSERT_EQ(controller.state().pane(), WindowSwitcherState::Pane::tabs);
    EXPECT_EQ(controller.state().tabs().first().tab->host, QStringLiteral("news.example.org"));

    press(controller, Qt::Key_Down);
    press(controller, Qt::Key_Return);
    EXPECT_TRUE(peer.waitForLine(QStringLiteral("tab 1"), 5000)) << "choosing Mail selects it";

    controller.show();
    controller.state().setSelection(*controller.state().indexOfRow(row->id));
    press(controller, Qt::Key_Right);
    controller.state().setTabSelection(int(controller.state().tabs().size()) - 1);
    ASSERT_TRUE(controller.state().activeRow()->opensNewTab);
    press(controller, Qt::Key_Return);
    EXPECT_TRUE(peer.waitForLine(QStringLiteral("new-tab"), 5000)) << "New Tab presses the menu item";
}

} // namespace
