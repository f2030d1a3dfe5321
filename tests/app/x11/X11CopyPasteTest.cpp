// The road of one copy and one paste through the whole core on a real X
// server: another app copies, the core captures it, the main shortcut opens
// our panel over that app, and the paste lands back in it.
#include "app/AppModel.h"
#include "model/ModelContext.h"
#include "model/ModelContainer.h"
#include "platform/Clock.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/x11/ChildProcess.h"
#include "platform/x11/WindowManager.h"
#include "platform/x11/X11Platform.h"
#include "support/FakeAlerts.h"
#include "support/TempDir.h"

#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace tamo;
using tamo::testing::ChildProcess;

namespace {

// Stands in for the drawer: a window that takes the keyboard when shown.
class FocusTakingDrawer final : public DrawerPanel
{
public:
    bool isVisible() const override { return window.isVisible(); }
    void showStrip() override
    {
        window.show();
        window.activateWindow();
    }
    void hide(bool) override { window.hide(); }

    QLineEdit window;
};

class X11CopyPasteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(platform.isX11()) << "this suite needs an X server";
        AppExtensions extensions;
        extensions.drawer = &drawer;
        const PlatformServices services{&defaults, &clock, &platform.pasteboard(), &platform.workspace(),
                                        &platform.hotKeys(), &platform.eventPoster(), &platform.accessibility(),
                                        &alerts, &platform.sounds(), &platform.screenshotFolder(), &network};
        model = std::make_unique<AppModel>(services, storeDir.path(), extensions);
        model->start();
        defaults.setValue(keys::directPaste, true);
    }

    int clipCount() { return model->container().mainContext().fetchCount<ClipItem>(); }

    tamo::testing::WindowManager windowManager;
    X11Platform platform;
    tamo::testing::TempDir configDir;
    tamo::testing::TempDir storeDir;
    Defaults defaults{configDir.file(QStringLiteral("defaults.json"))};
    SystemClock clock;
    tamo::testing::FakeAlerts alerts;
    QNetworkAccessManager network;
    FocusTakingDrawer drawer;
    std::unique_ptr<AppModel> model;
};

TEST_F(X11CopyPasteTest, ACopiedClipIsPastedBackIntoTheAppInFront)
{
    ChildProcess editor(QStringLiteral(TAMO_X11_TEST_PEER), {QStringLiteral("editor")});
    ASSERT_TRUE(editor.waitForLine(QStringLiteral("focus-in")));

    ChildProcess copier(QStringLiteral("sh"), {QStringLiteral("-c"),
                                              QStringLiteral("printf 'from another app ✓' | xclip -quiet -selection clipboard")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return clipCount() == 1; }, 5000));

    // The main shortcut, as the user presses it: ⇧⌘V is Shift+Ctrl+V.
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("shift+ctrl+v")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return drawer.window.isActiveWindow(); }, 5000));

    model->paste(model->container().mainContext().fetch<ClipItem>(), false);
    EXPECT_TRUE(editor.waitForLine(QStringLiteral("text from another app ✓")));
    EXPECT_FALSE(drawer.window.isVisible());
    EXPECT_EQ(clipCount(), 1); // our own write was not captured again
}

} // namespace
