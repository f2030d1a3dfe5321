#include "../SettingsFixture.h"
#include "support/QuitsWhile.h"

#include "settings/PreferencesWindow.h"
#include "settings/PreferencesWindowController.h"
#include "settings/StandardPages.h"

#include <QProcess>

using namespace tamo;
using namespace tamo::testing;

namespace {

class SettingsQuitKeyX11Test : public SettingsFixture
{
};

} // namespace

// The app menu shows Ctrl+Q; in the settings window it once did nothing.
TEST_F(SettingsQuitKeyX11Test, CtrlQQuitsFromTheSettingsWindow)
{
    startedModel();
    PreferencesWindowController controller;
    controller.setPages(standardSettingsPages(environment()));
    QProcess xdotool;
    EXPECT_TRUE(quitsWhile([&] {
        controller.showPreferences(0);
        PreferencesWindow *window = controller.window();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window, 20000));
        // Down for 80 ms, then up, as a person presses it.
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("ctrl+q"),
                                                  QStringLiteral("sleep"), QStringLiteral("0.08"),
                                                  QStringLiteral("keyup"), QStringLiteral("ctrl+q")});
    }));
    xdotool.waitForFinished(20000);
}
