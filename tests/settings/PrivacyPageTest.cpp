#include "SettingsFixture.h"

#include "model/SettingsKeys.h"
#include "settings/AppListRow.h"
#include "settings/IgnoredAppsList.h"
#include "settings/PrivacyPage.h"

#include <QLabel>
#include <QToolButton>

using namespace tamo;
using namespace tamo::testing;

namespace {

class PrivacyPageTest : public PageFixture<PrivacyPage>
{
protected:
    IgnoredAppsList *list() { return page().findChild<IgnoredAppsList *>(); }
    QStringList rowNames()
    {
        QStringList names;
        for (const AppListRow *row : list()->findChildren<AppListRow *>())
            names.append(row->accessibleName());
        return names;
    }
};

} // namespace

TEST_F(PrivacyPageTest, IgnoredAppsStartFromTheStoredListOrTheDefaults)
{
    workspace.install({QStringLiteral("org.keepassxc.KeePassXC"), QStringLiteral("KeePassXC")});
    EXPECT_EQ(rowNames().first(), QStringLiteral("KeePassXC")) << "installed: its name";
    EXPECT_EQ(rowNames().at(1), QStringLiteral("KeePass 2")) << "one of the defaults, not installed: its name";
    EXPECT_FALSE(list()->removeButton()->isEnabled());

    defaults.setValue(keys::ignoredApps, QStringList{QStringLiteral("org.keepassxc.KeePassXC")});
    PrivacyPage named(environment());
    QStringList names;
    for (const AppListRow *row : named.findChildren<AppListRow *>())
        names.append(row->accessibleName());
    EXPECT_EQ(names, QStringList({"KeePassXC"}));

    defaults.setValue(keys::ignoredApps, QStringList{QStringLiteral("org.example.Tool")});
    PrivacyPage unknown(environment());
    EXPECT_EQ(unknown.findChild<AppListRow *>()->accessibleName(), QStringLiteral("org.example.Tool"))
        << "neither installed nor a default: the id";

    defaults.setValue(keys::ignoredApps, QStringList());
    PrivacyPage empty(environment());
    EXPECT_TRUE(empty.findChildren<AppListRow *>().isEmpty());
    bool saysNone = false;
    for (const QLabel *label : empty.findChildren<QLabel *>())
        saysNone |= label->text() == QStringLiteral("No apps are ignored.");
    EXPECT_TRUE(saysNone);
}

TEST_F(PrivacyPageTest, AddingSkipsThisAppAndKnownAppsAndCancelWritesNothing)
{
    defaults.setValue(keys::ignoredApps, QStringList{QStringLiteral("org.a")});
    appChooser.answer(std::nullopt);
    list()->addApps();
    EXPECT_EQ(defaults.stringList(keys::ignoredApps), QStringList({"org.a"}));
    EXPECT_EQ(appChooser.prompts, QStringList({"Ignore"}));

    appChooser.answer(QStringList{QStringLiteral("tamocove"), QStringLiteral("org.b"), QStringLiteral("org.a"),
                                  QStringLiteral("org.c")});
    list()->addApps();
    EXPECT_EQ(defaults.stringList(keys::ignoredApps), QStringList({"org.a", "org.b", "org.c"}));

    defaults.remove(keys::ignoredApps);
    PrivacyPage fresh(environment());
    appChooser.answer(QStringList{QStringLiteral("org.keepassxc.KeePassXC")});
    fresh.findChild<IgnoredAppsList *>()->addApps();
    EXPECT_TRUE(defaults.hasPersistentValue(keys::ignoredApps)) << "written even when nothing was added";
}

TEST_F(PrivacyPageTest, RemovingTheSelectedAppClearsTheSelection)
{
    defaults.setValue(keys::ignoredApps, QStringList{QStringLiteral("org.a"), QStringLiteral("org.b")});
    QTest::mouseClick(list()->findChildren<AppListRow *>().at(1), Qt::LeftButton);
    EXPECT_EQ(list()->selection(), QStringLiteral("org.b"));
    EXPECT_TRUE(list()->removeButton()->isEnabled());
    click(list()->removeButton());
    EXPECT_EQ(defaults.stringList(keys::ignoredApps), QStringList({"org.a"}));
    EXPECT_TRUE(list()->selection().isEmpty());
    EXPECT_FALSE(list()->removeButton()->isEnabled());
}

TEST_F(PrivacyPageTest, AnAppUnderTwoIdsIsOneRowAndRemovingItStopsIgnoringBoth)
{
    EXPECT_EQ(rowNames().count(QStringLiteral("Bitwarden")), 1) << "neither installed";
    EXPECT_EQ(rowNames().count(QStringLiteral("KWalletManager")), 1);

    workspace.install({QStringLiteral("com.bitwarden.desktop"), QStringLiteral("Bitwarden")});
    PrivacyPage installed(environment());
    auto *list = installed.findChild<IgnoredAppsList *>();
    AppListRow *bitwarden = nullptr;
    for (AppListRow *row : list->findChildren<AppListRow *>()) {
        if (row->accessibleName() == QStringLiteral("Bitwarden")) {
            EXPECT_FALSE(bitwarden) << "shown twice";
            bitwarden = row;
        }
    }
    ASSERT_TRUE(bitwarden);
    EXPECT_EQ(bitwarden->bundleID(), QStringLiteral("com.bitwarden.desktop")) << "shown by the installed id";

    QTest::mouseClick(bitwarden, Qt::LeftButton);
    list->removeSelectedApp();
    const QStringList stored = defaults.stringList(keys::ignoredApps);
    EXPECT_FALSE(stored.contains(QStringLiteral("bitwarden")));
    EXPECT_FALSE(stored.contains(QStringLiteral("com.bitwarden.desktop")));
    EXPECT_TRUE(stored.contains(QStringLiteral("org.kde.kwalletmanager5")));
}

TEST_F(PrivacyPageTest, SkippingSecretsOffersABackupFirst)
{
    struct Exports : RecordingExtensions
    {
        bool written = false;
        bool exportPinboards() override
        {
            note(QStringLiteral("export"));
            return written;
        }
    } exports;
    PrivacyPage page(environmentWith([&exports](AppExtensions &parts) { parts.pinboardFiles = &exports; }));
    auto *skip = control<SwitchToggle>(page, QStringLiteral("Don't Save API Keys and Tokens"));

    const struct {
        int answer;
        bool exportWrites;
        bool on;
    } answers[] = {{2, false, false}, {0, false, false}, {0, true, true}};
    for (const auto &step : answers) {
        defaults.setValue(keys::skipSecrets, false);
        exports.written = step.exportWrites;
        alerts.answer(step.answer);
        click(skip);
        EXPECT_EQ(skip->isChecked(), step.on);
        EXPECT_EQ(defaults.boolValue(keys::skipSecrets), step.on);
    }
    EXPECT_EQ(exports.log, QStringList({"export", "export"}));
    ASSERT_EQ(alerts.shown().size(), 3);
    EXPECT_EQ(alerts.shown().first().message, QStringLiteral("Stop saving API keys and tokens?"));
    EXPECT_EQ(alerts.shown().first().buttons,
              QStringList({"Export Pinboards…", "Turn On Without Backup", "Cancel"}));

    click(skip); // off never asks
    EXPECT_FALSE(defaults.boolValue(keys::skipSecrets));
    defaults.setValue(keys::skipSecrets, false);
    alerts.answer(1);
    click(skip);
    EXPECT_TRUE(defaults.boolValue(keys::skipSecrets));
    EXPECT_EQ(alerts.shown().size(), 4);
}

TEST_F(PrivacyPageTest, ScreenSharingIsShownAsSomethingX11CannotDo)
{
    auto *screenSharing = control<SwitchToggle>(page(), QStringLiteral("Show During Screen Sharing"));
    ASSERT_TRUE(screenSharing);
    EXPECT_FALSE(screenSharing->isEnabled());
    EXPECT_TRUE(screenSharing->isChecked());
    EXPECT_TRUE(row(page(), QStringLiteral("Show During Screen Sharing"))->description().contains(u"X11 cannot"));
}
