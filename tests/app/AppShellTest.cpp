#include "AppModelFixture.h"

#include "app/AppDelegate.h"
#include "app/SingleInstance.h"
#include "app/TamoApp.h"
#include "model/SettingsKeys.h"
#include "support/FakeStatusItem.h"

#include <QMenu>
#include <QSignalSpy>
#include <QUuid>

using namespace tamo;
using namespace tamo::testing;

TEST(TamoAppMenu, ShortcutHintComesFromTheDisplayText)
{
    const struct {
        const char *display;
        QKeySequence expected;
    } rows[] = {
        {"⇧⌘V", QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_V)},
        {"⌃⌥Z", QKeySequence(Qt::META | Qt::ALT | Qt::Key_Z)},
        {"V", QKeySequence()},          // no modifier
        {"⌘Space", QKeySequence()},     // a named key, not one character
        {"", QKeySequence()},
    };
    for (const auto &row : rows)
        EXPECT_EQ(TamoApp::menuShortcut(QString::fromUtf8(row.display)), row.expected) << row.display;
}

class AppShell : public AppModelFixture
{
protected:
    // Windows that note which pinboard files they were asked to import.
    struct ImportingWindows : RecordingExtensions
    {
        void importPinboards(const QString &path) override { note(QStringLiteral("import:") + path); }
        void showPreferences(std::optional<int>) override { note(QStringLiteral("settings")); }
        void terminateRunningCopies() override { note(QStringLiteral("guard.terminate")); }
        void runSecondCopyGuard(bool checked) override { note(QStringLiteral("guard.run:%1").arg(checked)); }
    };
};

TEST_F(AppShell, LaunchReadsWelcomeStateFirstAndWrapsStartInTheGuard)
{
    defaults.setValue(keys::welcomeClipsChecked, true);
    ImportingWindows windows;
    windows.onLog = [this](const QString &entry) {
        if (entry == QStringLiteral("welcome.seed")) // a seeding start-up step may write the key
            defaults.setValue(keys::welcomeClipsChecked, false);
    };
    AppExtensions extensions = ext.extensions();
    extensions.onboarding = &windows;
    AppModel model(services(), storeDir.path(), extensions);
    AppDelegate delegate(model, defaults);
    delegate.finishLaunching();
    EXPECT_EQ(windows.log.first(), QStringLiteral("guard.terminate"));
    EXPECT_TRUE(windows.log.contains(QStringLiteral("welcome.seed")));
    EXPECT_EQ(windows.log.last(), QStringLiteral("guard.run:1"));
}

TEST_F(AppShell, OnlyPinboardFilesAreImportedInTheirOrder)
{
    ImportingWindows windows;
    AppExtensions extensions = ext.extensions();
    extensions.windows = &windows;
    AppModel model(services(), storeDir.path(), extensions);
    AppDelegate delegate(model, defaults);
    delegate.openFiles({QStringLiteral("/a/b.TAMOCOVE"), QStringLiteral("/a/photo.png"), QStringLiteral("/a/old.vostra"),
                        QStringLiteral("/a/c.tamo"), QStringLiteral("/a/tamocove")});
    delegate.reopen();
    EXPECT_EQ(windows.log, QStringList({"import:/a/b.TAMOCOVE", "import:/a/old.vostra", "import:/a/c.tamo", "settings"}));
}

TEST_F(AppShell, TheAppMenuIconNeverShowsBesideTheRecentClipsItem)
{
    startedModel();
    FakeStatusItem tray;
    TamoApp app(model(), defaults, tray);
    EXPECT_TRUE(tray.isVisible()); // no recent-clips item exists yet
    ext.statusItem = true;
    defaults.setValue(keys::menuBarRecentClips, true);
    defaults.setValue(keys::menuBarRecentClips, false);
    EXPECT_TRUE(tray.isVisible());
    defaults.setValue(keys::menuBarRecentClips, true);
    EXPECT_FALSE(tray.isVisible());
    defaults.setValue(keys::menuBarRecentClips, false);
    defaults.setValue(keys::showMenuBarIcon, false);
    EXPECT_FALSE(tray.isVisible());
    EXPECT_EQ(app.menu()->actions().first()->text(), QStringLiteral("Open TamoCove"));
    EXPECT_EQ(app.menu()->actions().last()->text(), QStringLiteral("Quit TamoCove"));
}

TEST(SingleInstanceTest, ASecondLaunchHandsItsFilesToTheFirst)
{
    const QString name = QStringLiteral("tamo-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(name);
    ASSERT_TRUE(first.claim({}));
    QSignalSpy activated(&first, &SingleInstance::activated);
    SingleInstance second(name);
    EXPECT_FALSE(second.claim({QStringLiteral("/tmp/x.tamocove")}));
    ASSERT_TRUE(activated.wait(2000));
    EXPECT_EQ(activated.first().first().toStringList(), QStringList{QStringLiteral("/tmp/x.tamocove")});
}
