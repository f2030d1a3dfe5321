#include "app/AppHooks.h"
#include "bonus/WindowSizer.h"
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
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

class NoticeDrawer : public DrawerPanel
{
public:
    void showToast(const QString &message, const QString &) override { notices.append(message); }
    QStringList notices;
};

// The client size xdotool reports for the window.
QSize xdotoolSize(quint32 window)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QString::number(window)});
    xdotool.waitForFinished(5000);
    const auto match = QRegularExpression(QStringLiteral("Geometry: (\\d+)x(\\d+)"))
                           .match(QString::fromUtf8(xdotool.readAllStandardOutput()));
    return match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
}

TEST(X11WindowSizerTest, ResizesTheFrontWindowOfAnotherApp)
{
    WindowManager windowManager;
    const auto x11 = x11::X11Connection::fromApplication();
    const x11::X11Properties properties(x11.xcb);
    ChildProcess peer(QStringLiteral(TAMO_X11_TEST_PEER), {QStringLiteral("windows"), QStringLiteral("Sized")});
    quint32 window = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (const QString &line : peer.lines()) {
            if (line.startsWith(QLatin1String("window Sized ")))
                window = line.section(QLatin1Char(' '), 2).toUInt();
        }
        return window && properties.numbers(x11.rootWindow, "_NET_ACTIVE_WINDOW").value(0) == window;
    }, 10000));

    TempDir dir;
    Defaults defaults(dir.file(QStringLiteral("defaults.json")));
    registerDefaultSettings(defaults);
    x11::X11Screens screens(x11);
    x11::X11ActiveWindow activeWindow(x11);
    DesktopEntries apps;
    x11::X11WindowServer server(x11, activeWindow, screens, apps);
    x11::X11Accessibility accessibility(x11);
    NoticeDrawer drawer;
    WindowSizer sizer({&server, &accessibility, &defaults, &screens, &drawer}, QCoreApplication::applicationPid());

    const QSize before = xdotoolSize(window);
    sizer.sizeFrontmostWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !drawer.notices.isEmpty(); }, 5000));
    EXPECT_EQ(drawer.notices.first(), QStringLiteral("Window resized"));

    const ScreenInfo screen = screens.screens().first();
    const QRectF target = sizer.targetFrame(screen);
    const QList<quint32> extents = properties.numbers(window, "_NET_FRAME_EXTENTS");
    const QSize decorations = extents.size() == 4 ? QSize(extents[0] + extents[1], extents[2] + extents[3]) : QSize();
    const QSize after = xdotoolSize(window);
    EXPECT_NE(after, before);
    EXPECT_NEAR(after.width(), target.width() - decorations.width(), 2);
    EXPECT_NEAR(after.height(), target.height() - decorations.height(), 2);

    sizer.sizeFrontmostWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return drawer.notices.size() == 2; }, 5000));
    EXPECT_EQ(drawer.notices.last(), QStringLiteral("Window already in place"));
}

} // namespace
