// The drawer's whole road on a real X server: another app copies, the main
// shortcut slides the drawer up over that app with the copy selected, and
// Return pastes it back into the app.
#include "X11DrawerFixture.h"

#include "drawer/ClipStrip.h"
#include "drawer/PanelView.h"
#include "drawer/TamoPanel.h"

using namespace tamo;
using namespace tamo::testing;

namespace {

class X11DrawerPasteTest : public X11DrawerFixture
{
protected:
    void SetUp() override
    {
        X11DrawerFixture::SetUp();
        if (!HasFatalFailure())
            assemble();
    }

    static void press(const QString &keys) { xdotool({QStringLiteral("key"), keys}); }
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
