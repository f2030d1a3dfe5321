#include "X11AppFixture.h"
#include "support/QuitsWhile.h"

#include "app/TamoApp.h"
#include "model/DefaultSettings.h"
#include "platform/Screens.h"
#include "platform/TrayStatusItem.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <QStandardPaths>

using namespace tamo;
using namespace tamo::testing;

namespace {

struct SettingsShown : SettingsWindow
{
    int count = 0;
    void showPreferences(std::optional<int>) override { ++count; }
};

// The app menu on trayer's XEmbed tray, opened with a right click and
// answered with keys held as a person holds them.
class X11TrayMenuKeysTest : public X11AppFixture
{
protected:
    void SetUp() override
    {
        X11AppFixture::SetUp();
        if (HasFatalFailure())
            return;
        if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty())
            GTEST_SKIP() << "needs trayer";
        registerDefaultSettings(defaults);
        defaults.setValue(keys::showMenuBarIcon, true);
        settingsWindow = &settings;
        model = makeModel(noDrawer);
        start(*model);
        trayer = std::make_unique<ChildProcess>(
            QStringLiteral("trayer"),
            QProcess::splitCommand(QStringLiteral("--edge top --align right --widthtype request --height 24")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return trayIcon.isAvailable(); }, 20000)) << "no tray";
        QPixmap icon(22, 22);
        icon.fill(Qt::darkGreen);
        QApplication::setWindowIcon(icon);
        app = std::make_unique<TamoApp>(*model, defaults, trayIcon);
        // Qt learns where the tray put the icon a moment after embedding it.
        const QRectF screen = platform.screens().screens().first().frame;
        ASSERT_TRUE(QTest::qWaitFor([&] { return trayIcon.anchor().left() > screen.center().x(); }, 20000))
            << "never embedded";
    }
    void TearDown() override
    {
        // xdotool lets the keys go 80 ms after pressing them: stopped sooner
        // (the quit ends the test first), it would leave them held on the
        // display, and the next test's press of them would read as a repeat.
        pressAgain.stop();
        if (keys) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !keys->running(); }, 10000)) << "the keys were not let go";
        }
        app.reset();
        model.reset();
    }

    // Clicks again while it stays shut: the tray may still be settling where
    // the icon sits.
    void openMenu()
    {
        const auto open = [&] {
            return QApplication::activePopupWidget() == app->menu() && app->menu()->windowHandle()->isExposed();
        };
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            const QPointF centre = platform.screens().geometry().toQt(trayIcon.anchor()).center();
            xdotool({QStringLiteral("mousemove"), QString::number(int(centre.x())), QString::number(int(centre.y())),
                     QStringLiteral("click"), QStringLiteral("3")});
            if (QTest::qWaitFor(open, 3000))
                break;
        }
        ASSERT_TRUE(open()) << "the menu did not open";
    }
    void openPinboardsSubmenu()
    {
        QMenu *menu = app->menu();
        const auto rows = menu->actions();
        const auto pinboards = std::find_if(rows.cbegin(), rows.cend(), [](const QAction *row) {
            return row->text() == QStringLiteral("Pinboards");
        });
        ASSERT_NE(pinboards, rows.cend());
        const QPoint at = menu->mapToGlobal(menu->actionGeometry(*pinboards).center());
        xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == (*pinboards)->menu(); }, 20000))
            << "the submenu did not open";
    }
    // Down for 80 ms, then up, from a process of its own while the loop runs;
    // again every 2 s while a menu stays open, as the server may hand a popup
    // the keyboard a moment after it shows.
    void hold(const QString &chord)
    {
        const auto press = [this, chord] {
            keys = std::make_unique<ChildProcess>(
                QStringLiteral("xdotool"),
                QStringList{QStringLiteral("keydown"), chord, QStringLiteral("sleep"), QStringLiteral("0.08"),
                            QStringLiteral("keyup"), chord});
        };
        press();
        QObject::connect(&pressAgain, &QTimer::timeout, [this, press] {
            if (QApplication::activePopupWidget() && keys->pid() == 0)
                press();
        });
        pressAgain.start(2000);
    }

    SettingsShown settings;
    DrawerPanel noDrawer;
    std::unique_ptr<AppModel> model;
    TrayStatusItem trayIcon{platform.screens()};
    std::unique_ptr<ChildProcess> trayer;
    std::unique_ptr<TamoApp> app;
    std::unique_ptr<ChildProcess> keys;
    QTimer pressAgain;
};

} // namespace

// The menu showed Ctrl+, and Ctrl+Q, and neither key did anything. A quit
// closes every window, the tray icon's too, so each test quits once.
TEST_F(X11TrayMenuKeysTest, CtrlCommaInTheOpenMenuOpensTheSettings)
{
    openMenu();
    hold(QStringLiteral("ctrl+comma"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings.count == 1; }, 20000)) << "Ctrl+, opened no settings";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app->menu()->isVisible(); }, 20000)) << "the menu stayed open";
}

TEST_F(X11TrayMenuKeysTest, CtrlQInTheOpenMenuQuits)
{
    EXPECT_TRUE(quitsWhile([&] {
        openMenu();
        hold(QStringLiteral("ctrl+q"));
    }));
    EXPECT_EQ(settings.count, 0);
}

TEST_F(X11TrayMenuKeysTest, CtrlQWithASubmenuOpenQuits)
{
    EXPECT_TRUE(quitsWhile([&] {
        openMenu();
        openPinboardsSubmenu();
        hold(QStringLiteral("ctrl+q"));
    }));
}
