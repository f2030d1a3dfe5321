// The drawer's whole road on a real X server: another app copies, the main
// shortcut slides the drawer up over that app with the copy selected, and
// Return pastes it back into the app.
#include "app/x11/X11AppFixture.h"

#include "drawer/ClipStrip.h"
#include "drawer/DrawerAssembly.h"
#include "drawer/PanelController.h"
#include "drawer/PanelView.h"
#include "drawer/TamoPanel.h"
#include "model/DefaultSettings.h"

using namespace tamo;
using namespace tamo::testing;

namespace {

class X11DrawerPasteTest : public X11AppFixture
{
protected:
    void SetUp() override
    {
        X11AppFixture::SetUp();
        if (HasFatalFailure())
            return;
        registerDefaultSettings(defaults);
        panel = std::make_unique<PanelController>(defaults, platform.screens());
        model = makeModel(*panel);
        drawer = std::make_unique<DrawerAssembly>(*panel, *model, defaults, clock);
        start(*model);
    }

    static void press(const QString &keys) { xdotool({QStringLiteral("key"), keys}); }

    std::unique_ptr<PanelController> panel;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<DrawerAssembly> drawer; // goes first: its views work on the model
};

TEST_F(X11DrawerPasteTest, TheShortcutAndReturnPasteTheLatestCopyIntoTheAppInFront)
{
    const auto editor = startEditor();
    const auto copier = copyText(QStringLiteral("through the drawer ✓"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return clipCount(*model) == 1; }, 5000));

    press(QStringLiteral("shift+ctrl+v"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->stripPanel().isActiveWindow(); }, 5000));
    ClipStrip *strip = drawer->view().strip();
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->hasFocus(); }));
    ASSERT_EQ(strip->visibleClips().size(), 1);
    EXPECT_EQ(model->selectedItemID(), strip->visibleClips().front()->id());

    press(QStringLiteral("Return"));
    EXPECT_TRUE(editor->waitForLine(QStringLiteral("text through the drawer ✓")));
    EXPECT_TRUE(panel->stripPanel().isHidden());
    EXPECT_EQ(clipCount(*model), 1); // the paste was not captured as a new copy
}

} // namespace
