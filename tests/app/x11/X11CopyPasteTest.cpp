// The road of one copy and one paste through the whole core on a real X
// server: another app copies, the core captures it, the main shortcut opens
// our panel over that app, and the paste lands back in it.
#include "X11AppFixture.h"

#include <QLineEdit>

using namespace tamo;
using namespace tamo::testing;

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

class X11CopyPasteTest : public X11AppFixture
{
protected:
    void SetUp() override
    {
        X11AppFixture::SetUp();
        if (HasFatalFailure())
            return;
        model = makeModel(drawer);
        start(*model);
    }

    FocusTakingDrawer drawer;
    std::unique_ptr<AppModel> model;
};

TEST_F(X11CopyPasteTest, ACopiedClipIsPastedBackIntoTheAppInFront)
{
    const auto editor = startEditor();
    const auto copier = copyText(QStringLiteral("from another app ✓"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return clipCount(*model) == 1; }, 5000));

    // The main shortcut, as the user presses it: ⇧⌘V is Shift+Ctrl+V.
    xdotool({QStringLiteral("key"), QStringLiteral("shift+ctrl+v")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return drawer.window.isActiveWindow(); }, 5000));

    model->paste(model->container().mainContext().fetch<ClipItem>(), false);
    EXPECT_TRUE(editor->waitForLine(QStringLiteral("text from another app ✓")));
    EXPECT_FALSE(drawer.window.isVisible());
    EXPECT_EQ(clipCount(*model), 1); // our own write was not captured again
}

} // namespace
