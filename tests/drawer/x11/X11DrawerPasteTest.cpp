// The drawer's whole road on a real X server: another app copies, the main
// shortcut slides the drawer up over that app with the copy selected, and
// Return pastes it back into the app.
#include "platform/x11/ChildProcess.h"
#include "platform/x11/WindowManager.h"

#include "app/AppModel.h"
#include "cards/ClipCard.h"
#include "drawer/ClipStrip.h"
#include "drawer/DrawerAssembly.h"
#include "drawer/PanelController.h"
#include "drawer/PanelView.h"
#include "drawer/TamoPanel.h"
#include "model/DefaultSettings.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/x11/X11Platform.h"
#include "support/FakeAlerts.h"
#include "support/TempDir.h"

#include <QNetworkAccessManager>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace tamo;
using tamo::testing::ChildProcess;

namespace {

class X11DrawerPasteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(platform.isX11()) << "this suite needs an X server";
        registerDefaultSettings(defaults);
        panel = std::make_unique<PanelController>(defaults, platform.screens());
        AppExtensions extensions;
        extensions.drawer = panel.get();
        const PlatformServices services{&defaults, &clock, &platform.pasteboard(), &platform.workspace(),
                                        &platform.hotKeys(), &platform.eventPoster(), &platform.accessibility(),
                                        &alerts, &platform.sounds(), &platform.screenshotFolder(), &network};
        model = std::make_unique<AppModel>(services, storeDir.path(), extensions);
        drawer = std::make_unique<DrawerAssembly>(*panel, *model, defaults, clock);
        model->start();
        defaults.setValue(keys::directPaste, true);
    }

    int clipCount() { return model->container().mainContext().fetchCount<ClipItem>(); }

    static void xdotool(const QStringList &arguments) { QProcess::execute(QStringLiteral("xdotool"), arguments); }
    static void press(const QString &keys) { xdotool({QStringLiteral("key"), keys}); }

    tamo::testing::WindowManager windowManager;
    X11Platform platform;
    tamo::testing::TempDir configDir;
    tamo::testing::TempDir storeDir;
    Defaults defaults{configDir.file(QStringLiteral("defaults.json"))};
    SystemClock clock;
    tamo::testing::FakeAlerts alerts;
    QNetworkAccessManager network;
    std::unique_ptr<PanelController> panel;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<DrawerAssembly> drawer; // goes first: its views work on the model
};

TEST_F(X11DrawerPasteTest, TheShortcutAndReturnPasteTheLatestCopyIntoTheAppInFront)
{
    ChildProcess editor(QStringLiteral(TAMO_X11_TEST_PEER), {QStringLiteral("editor")});
    ASSERT_TRUE(editor.waitForLine(QStringLiteral("focus-in")));
    const QString copy = QStringLiteral("printf 'through the drawer ✓' | xclip -quiet -selection clipboard");
    ChildProcess copier(QStringLiteral("sh"), {QStringLiteral("-c"), copy});
    ASSERT_TRUE(QTest::qWaitFor([&] { return clipCount() == 1; }, 5000));

    press(QStringLiteral("shift+ctrl+v"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->stripPanel().isActiveWindow(); }, 5000));
    ClipStrip *strip = drawer->view().strip();
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->hasFocus(); }));
    ASSERT_EQ(strip->visibleClips().size(), 1);
    EXPECT_EQ(model->selectedItemID(), strip->visibleClips().front()->id());

    press(QStringLiteral("Return"));
    EXPECT_TRUE(editor.waitForLine(QStringLiteral("text through the drawer ✓")));
    EXPECT_TRUE(panel->stripPanel().isHidden());
    EXPECT_EQ(clipCount(), 1); // the paste was not captured as a new copy
}

TEST_F(X11DrawerPasteTest, ReleasingAHeldCardClosesItsPreviewThoughThePreviewTookTheKeyboard)
{
    defaults.setValue(keys::holdToPreview, true);
    ChildProcess copier(QStringLiteral("sh"), {QStringLiteral("-c"),
                                              QStringLiteral("printf 'held' | xclip -quiet -selection clipboard")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return clipCount() == 1; }, 5000));
    model->openDrawer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->stripPanel().isActiveWindow(); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->stripPanel().windowOpacity() == 1.0; }));
    const ClipItemPtr clip = drawer->view().strip()->visibleClips().front();
    const ClipCard *card = drawer->view().strip()->cardFor(clip->id());
    ASSERT_NE(card, nullptr);

    const QPoint centre = card->mapToGlobal(card->rect().center());
    xdotool({QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
             QStringLiteral("mousedown"), QStringLiteral("1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->previewPanel().isActiveWindow(); }, 5000));
    EXPECT_EQ(model->previewItemID(), clip->id());

    // The button comes up over the strip while the preview has the keyboard.
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->previewPanel().isHidden(); }, 5000));
    EXPECT_TRUE(model->previewItemID().isNull());
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->stripPanel().isActiveWindow(); }, 5000));
}

} // namespace
