#include "bonus/RecentWindows.h"
#include "bonus/WindowSwitcherCatalog.h"
#include "bonus/WindowSwitcherController.h"
#include "model/DefaultSettings.h"
#include "platform/Defaults.h"
#include "platform/x11/ChildProcess.h"
#include "platform/x11/WindowManager.h"
#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowServer.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

// Small windows of a second process, each known by its title.
class PeerWindows
{
public:
    explicit PeerWindows(const QStringList &titles)
        : m_peer(QStringLiteral(TAMO_X11_TEST_PEER), QStringList{QStringLiteral("windows")} + titles)
    {
        for (const QString &title : titles)
            EXPECT_TRUE(QTest::qWaitFor([&] { return number(title) != 0; }, 10000)) << title.toStdString();
    }

    qint64 pid() const { return m_peer.pid(); }
    quint32 number(const QString &title)
    {
        for (const QString &line : m_peer.lines()) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.size() == 3 && parts[0] == QLatin1String("window") && parts[1] == title)
                return parts[2].toUInt();
        }
        return 0;
    }

private:
    ChildProcess m_peer;
};

class X11WindowSwitcherTest : public ::testing::Test
{
protected:
    X11WindowSwitcherTest() { registerDefaultSettings(defaults); }

    quint32 activeWindow() const { return properties.numbers(x11.rootWindow, "_NET_ACTIVE_WINDOW").value(0); }

    // The window's client and the frames the manager wraps around it differ:
    // compare by the client window the manager reports as active.
    bool waitForActive(quint32 number)
    {
        return QTest::qWaitFor([&] { return activeWindow() == number; }, 5000);
    }

    // Under load the manager may focus new windows in either order as they
    // map: let it settle, then bring this one forward.
    bool bringForward(quint32 number)
    {
        if (!QTest::qWaitFor([&] { return activeWindow() != 0; }, 5000))
            return false;
        QTest::qWait(300);
        server.activate(number);
        return waitForActive(number);
    }

    static void key(const QString &name)
    {
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--delay"),
                                                      QStringLiteral("150"), name});
    }

    WindowManager windowManager;
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11Properties properties{x11.xcb};
    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    x11::X11Screens screens{x11};
    x11::X11ActiveWindow activeWindowWatch{x11};
    DesktopEntries apps;
    x11::X11WindowServer server{x11, activeWindowWatch, screens, apps};
    x11::X11Accessibility accessibility{x11};
    RecentWindows recent;
    WindowSwitcherCatalog catalog{server, accessibility, defaults, recent, QCoreApplication::applicationPid()};
};

TEST_F(X11WindowSwitcherTest, ListsOurWindowsWithTheirProcessAndKey)
{
    PeerWindows peer({QStringLiteral("Alpha"), QStringLiteral("Beta")});
    const quint32 beta = peer.number(QStringLiteral("Beta"));
    ASSERT_TRUE(bringForward(beta));

    QList<WindowSwitcherRow> rows;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        rows = catalog.rows();
        return rows.size() >= 2;
    }, 5000));
    ASSERT_EQ(activeWindow(), beta);
    QStringList titles;
    for (const WindowSwitcherRow &row : rows) {
        if (row.app.pid != peer.pid())
            continue;
        titles.append(row.windowTitle);
        EXPECT_EQ(row.id, QStringLiteral("%1-%2").arg(peer.pid()).arg(row.windowNumber));
        EXPECT_EQ(row.windowNumber, peer.number(row.windowTitle));
    }
    EXPECT_EQ(titles, (QStringList{"Beta", "Alpha"})) << "the focused window first";
    EXPECT_EQ(rows[catalog.initialSelection(rows)].windowTitle, QStringLiteral("Beta"));
}

// openbox only marks a window on another desktop urgent when asked to
// activate it: the switcher goes to that desktop first.
TEST_F(X11WindowSwitcherTest, AWindowOnAnotherDesktopIsBroughtForwardOnItsDesktop)
{
    PeerWindows peer({QStringLiteral("Here"), QStringLiteral("There")});
    const quint32 there = peer.number(QStringLiteral("There"));
    const auto desktopOf = [&](quint32 window) { return properties.numbers(window, "_NET_WM_DESKTOP").value(0); };
    const auto currentDesktop = [&] { return properties.numbers(x11.rootWindow, "_NET_CURRENT_DESKTOP").value(0); };
    ASSERT_TRUE(bringForward(peer.number(QStringLiteral("Here"))));
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("set_desktop_for_window"), QString::number(there), QStringLiteral("1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktopOf(there) == 1; }, 5000));
    ASSERT_EQ(currentDesktop(), 0u);

    server.activate(there);
    EXPECT_TRUE(QTest::qWaitFor([&] { return currentDesktop() == 1 && activeWindow() == there; }, 5000))
        << "desktop " << currentDesktop() << ", active window " << activeWindow();
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("set_desktop"), QStringLiteral("0")});
}

TEST_F(X11WindowSwitcherTest, KeysChooseAWindowWhileTheFrontAppStaysInFront)
{
    PeerWindows peer({QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")});
    const quint32 gamma = peer.number(QStringLiteral("Gamma"));
    ASSERT_TRUE(bringForward(gamma));
    WindowSwitcherController controller({&catalog, &recent, &server, &accessibility, &defaults, &screens});

    controller.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.panel()->isVisible(); }, 2000));
    QTest::qWait(200);
    EXPECT_EQ(activeWindow(), gamma) << "showing the switcher does not activate TamoCove";
    const int start = controller.state().selection();
    key(QStringLiteral("Down"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.state().selection() != start; }, 3000));
    const WindowSwitcherRow chosen = *controller.state().selectedRow();
    key(QStringLiteral("Return"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller.isVisible(); }, 3000));
    EXPECT_TRUE(waitForActive(chosen.windowNumber)) << chosen.windowTitle.toStdString();

    controller.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.panel()->isVisible(); }, 2000));
    key(QStringLiteral("Escape"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !controller.isVisible(); }, 3000));

    // A click anywhere else closes it, and leaves its rows behind.
    controller.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.panel()->isVisible(); }, 2000));
    QTest::qWait(200);
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("5"), QStringLiteral("5"),
                                                  QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !controller.isVisible(); }, 3000));
    EXPECT_TRUE(controller.state().rows().isEmpty());
}

} // namespace
