#include "platform/x11/ChildProcess.h"
#include "platform/x11/WindowManager.h"

#include "drawer/PanelController.h"
#include "drawer/TamoPanel.h"
#include "drawer/ToastController.h"
#include "model/DefaultSettings.h"
#include "platform/Defaults.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Screens.h"
#include "support/TempDir.h"

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace tamo;
using tamo::testing::ChildProcess;
using tamo::testing::startEditor;
using tamo::testing::TempDir;

namespace {

QString commandOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// What the X server says of a window, not what Qt remembers of it.
bool isMapped(const QWidget &window)
{
    const QString info = commandOutput(QStringLiteral("xwininfo"),
                                       {QStringLiteral("-id"), QString::number(window.winId())});
    return info.contains(QStringLiteral("Map State: IsViewable"));
}

class X11DrawerTest : public ::testing::Test
{
protected:
    X11DrawerTest() { registerDefaultSettings(defaults); }
    void SetUp() override { ASSERT_TRUE(x11.isValid()) << "this suite needs an X server"; }

    static void activateEditor()
    {
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"),
                                                      QStringLiteral("X11 test peer"),
                                                      QStringLiteral("windowactivate"), QStringLiteral("--sync")});
    }

    tamo::testing::WindowManager windowManager;
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11Screens screens{x11};
    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    PanelController panel{defaults, screens};
};

TEST_F(X11DrawerTest, DrawerHidesWhenAnotherAppTakesTheKeyboard)
{
    const auto editor = startEditor();
    panel.showStrip();
    TamoPanel &strip = panel.stripPanel();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&strip));
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.windowOpacity() == 1.0; }));
    // The window manager left it on the bottom edge, over any dock.
    const ScreenInfo screen = screens.screens().first();
    EXPECT_EQ(screens.geometry().fromQt(QRectF(strip.geometry())),
              QRectF(screen.frame.x() + 8, screen.frame.y() + 8, screen.frame.width() - 16, 404));

    // Moving between the strip and the preview keeps the drawer.
    panel.showPreview();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel.previewPanel()));
    QTest::qWait(300);
    ASSERT_TRUE(strip.isVisible());

    const qsizetype focusIns = editor->lines().count(QStringLiteral("focus-in"));
    activateEditor();
    EXPECT_TRUE(QTest::qWaitFor([&] { return strip.isHidden(); }, 3000));
    EXPECT_TRUE(panel.previewPanel().isHidden());
    EXPECT_FALSE(isMapped(strip));
    // Closing the preview on the way out gave the strip no keyboard: the editor kept it.
    QTest::qWait(300);
    EXPECT_EQ(editor->lines().count(QStringLiteral("focus-in")), focusIns + 1);
    EXPECT_EQ(QGuiApplication::focusWindow(), nullptr);
}

TEST_F(X11DrawerTest, NoticeEndsUnmappedNotJustTransparent)
{
    const auto editor = startEditor();
    panel.showToast(QStringLiteral("Pinned to Work"), QStringLiteral("pin.circle.fill"));
    QWidget &notice = panel.toast().panel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice.isVisible() && isMapped(notice); }));
    EXPECT_FALSE(notice.isActiveWindow()); // the editor keeps the keyboard

    ASSERT_TRUE(QTest::qWaitFor([&] { return notice.isHidden(); }, 4000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !isMapped(notice); }));
}

} // namespace
