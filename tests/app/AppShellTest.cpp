#include "AppModelFixture.h"

#include "app/AppDelegate.h"
#include "app/TamoApp.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/KeyHintMenu.h"
#include "support/FakeStatusItem.h"
#include "support/ShownText.h"

#include <QMenu>

using namespace tamo;
using namespace tamo::testing;

class AppShell : public AppModelFixture
{
protected:
    // Pinboard files that note which files they were asked to import.
    struct ImportingWindows : RecordingExtensions
    {
        void importPinboards(const QString &path) override { note(QStringLiteral("import:") + path); }
        void runSecondCopyGuard(bool checked) override { note(QStringLiteral("guard.run:%1").arg(checked)); }
    };
};

TEST_F(AppShell, TrayMenuNamesKeysTheDesktopsWayBesideTitlesThatNameTheRows)
{
    FakeStatusItem tray;
    defaults.setValue(keys::hotKeyDisplay, QStringLiteral("⇧⌘V"));
    TamoApp app(model(), defaults, tray);
    const QList<QAction *> rows = app.menu()->actions();
    const auto keysOf = [](const QAction *row) { return KeyHintMenu::shownKeys(row); };
    EXPECT_EQ(keysOf(rows.first()), QStringLiteral("Ctrl+Shift+V"));
    EXPECT_EQ(keysOf(rows.last()), QStringLiteral("Ctrl+Q"));
    // Screen readers name each row by its title alone.
    const QStringList names = shownRows(*app.menu());
    EXPECT_EQ(names.first(), QStringLiteral("Open TamoCove"));
    EXPECT_TRUE(names.contains(QStringLiteral("Settings…")));
    EXPECT_EQ(names.last(), QStringLiteral("Quit TamoCove"));
    defaults.setValue(keys::hotKeyDisplay, QStringLiteral("⌃⌥Z"));
    EXPECT_EQ(keysOf(rows.first()), QStringLiteral("Super+Alt+Z"));
    defaults.setValue(keys::shortcutTarget, rawValue(ShortcutTarget::menuBar));
    EXPECT_EQ(keysOf(rows.first()), QString()); // the shortcut opens the panel instead
    EXPECT_TRUE(rows.first()->shortcut().isEmpty());
}

TEST_F(AppShell, TrayMenuCommandsRunOnceTheMenuIsDone)
{
    ImportingWindows windows;
    AppExtensions extensions = ext.extensions();
    extensions.settings = &windows;
    AppModel model(services(), storeDir.path(), extensions);
    FakeStatusItem tray;
    TamoApp app(model, defaults, tray);
    const QList<QAction *> rows = app.menu()->actions();
    const auto settings = std::find_if(rows.cbegin(), rows.cend(),
                                       [](QAction *row) { return row->text() == u"Settings…"; });
    ASSERT_NE(settings, rows.cend());
    (*settings)->trigger();
    EXPECT_TRUE(windows.log.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(windows.log, QStringList{QStringLiteral("settings")});
}

TEST_F(AppShell, LaunchReadsWelcomeStateFirstAndRunsTheGuardAfterStart)
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
    EXPECT_TRUE(windows.log.contains(QStringLiteral("welcome.seed")));
    EXPECT_EQ(windows.log.last(), QStringLiteral("guard.run:1"));
}

TEST_F(AppShell, OnlyPinboardFilesAreImportedInTheirOrder)
{
    ImportingWindows windows;
    AppExtensions extensions = ext.extensions();
    extensions.settings = &windows;
    extensions.pinboardFiles = &windows;
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
}
