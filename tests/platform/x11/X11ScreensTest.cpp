#include "OtherClient.h"
#include "RunCommand.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace tamo;
using tamo::testing::OtherClient;
using tamo::testing::runCommand;

namespace {

// Splits the display into two RandR monitors side by side for the test's
// lifetime: LEFT (primary) and RIGHT.
class TwoMonitors
{
public:
    explicit TwoMonitors(const QSize &display)
    {
        const int half = display.width() / 2;
        const QString size = QStringLiteral("%1/254x%2/286").arg(half).arg(display.height());
        runCommand(QStringLiteral("xrandr --setmonitor LEFT %1+0+0 screen").arg(size));
        runCommand(QStringLiteral("xrandr --setmonitor RIGHT %1+%2+0 none").arg(size).arg(half));
    }
    ~TwoMonitors()
    {
        runCommand(QStringLiteral("xrandr --delmonitor RIGHT"));
        runCommand(QStringLiteral("xrandr --delmonitor LEFT"));
    }
};

// A dock window of another client, listed by the window manager with its
// strut, as a panel would be.
class Dock
{
public:
    explicit Dock(const QList<quint32> &strutPartial)
    {
        const xcb_window_t window = m_client.createWindow();
        m_client.setNumbers(window, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL, strutPartial);
        m_client.setNumbers(m_client.root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {window});
        m_client.sync();
    }
    ~Dock() { xcb_delete_property(m_client.connection(), m_client.root(), m_client.atom("_NET_CLIENT_LIST")); }

private:
    OtherClient m_client;
};

class X11ScreensTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(x11.isValid()) << "this suite needs an X server"; }

    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11Screens screens{x11};
};

} // namespace

TEST_F(X11ScreensTest, OneScreenHasItsFrameAtTheOrigin)
{
    const QList<ScreenInfo> all = screens.screens();
    ASSERT_EQ(all.size(), 1);
    const QSize display = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(all[0].frame, QRectF(QPointF(0, 0), display));
    EXPECT_TRUE(all[0].frame.contains(all[0].visibleFrame));
    EXPECT_EQ(all[0].scale, 1.0);
    EXPECT_EQ(all[0].vendor, 0u) << "Xvfb has no EDID";
    EXPECT_FALSE(all[0].name.isEmpty());
}

TEST_F(X11ScreensTest, PointerLocationCountsFromTheBottom)
{
    const int height = QGuiApplication::primaryScreen()->size().height();
    runCommand(QStringLiteral("xdotool mousemove 100 50"));
    EXPECT_EQ(screens.pointerLocation(), QPointF(100, height - 50));
    EXPECT_EQ(screens.screenUnderPointer()->frame, screens.screens()[0].frame);
}

TEST_F(X11ScreensTest, DockStrutsShapeTheVisibleFramesOfSeveralMonitors)
{
    const QSize display = QGuiApplication::primaryScreen()->virtualSize();
    const int half = display.width() / 2;
    QSignalSpy changed(&screens, &Screens::screensChanged);
    {
        const TwoMonitors monitors(display);
        ASSERT_TRUE(QTest::qWaitFor([&] { return screens.screens().size() == 2; }, 5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !changed.isEmpty(); }, 5000));

        const Dock dock({0, 0, 0, 40, 0, 0, 0, 0, 0, 0, quint32(half), quint32(display.width() - 1)});
        const QList<ScreenInfo> all = screens.screens();
        ASSERT_EQ(all.size(), 2);
        EXPECT_EQ(all[0].name, QStringLiteral("LEFT"));
        EXPECT_EQ(all[0].frame, QRectF(0, 0, half, display.height()));
        EXPECT_EQ(all[0].visibleFrame, all[0].frame);
        EXPECT_EQ(all[1].frame, QRectF(half, 0, half, display.height()));
        EXPECT_EQ(all[1].visibleFrame, QRectF(half, 40, half, display.height() - 40));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return screens.screens().size() == 1; }, 5000));
}
