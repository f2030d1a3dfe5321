#include "sheets/SettingsSheets.h"

#include "sheets/Scene.h"

#include "model/SettingsKeys.h"
#include "settings/PreferencesWindow.h"
#include "settings/SettingsEnvironment.h"
#include "settings/SettingsNavigation.h"
#include "settings/StandardPages.h"

#include "support/FakeAppChooser.h"
#include "support/FakeLoginItem.h"
#include "support/FakeRelauncher.h"
#include "support/FakeScreens.h"

#include <QDir>
#include <QScrollArea>
#include <QTest>

#include <cstdio>

namespace tamo::sheets {

namespace {

void save(const QImage &image, const QString &folder, const QString &name)
{
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (image.save(path))
        std::printf("%s\n", qPrintable(path));
    else
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

// The whole page at the width the window gives it.
void saveWholePage(PreferencesWindow &window, const QString &folder, const QString &name)
{
    auto *scroll = window.findChild<QScrollArea *>();
    QWidget *content = window.pageView();
    if (!scroll || !content)
        return;
    const int width = scroll->viewport()->width();
    content->resize(width, qMax(content->heightForWidth(width), content->sizeHint().height()));
    save(content->grab().toImage(), folder, name);
}

// Every tool on, a screen remembered but detached, and no XTest, so that each
// optional row of the page and its closing note show.
void writeBonusPageInUse(Scene &scene, SettingsNavigation &navigation, PreferencesWindow &window, const QString &theme,
                         const QString &folder)
{
    const QLatin1StringView tools[] = {keys::windowSwitcherEnabled, keys::windowSwitcherBrowserTabs,
                                       keys::windowSizeEnabled, keys::threeFingerMiddleClick, keys::inputSourceByApp};
    for (const QLatin1StringView key : tools)
        scene.defaults.setValue(key, true);
    scene.ext.sizerScreens = {{QStringLiteral("built-in"), QStringLiteral("Built-in Display"), 1512, 982,
                               QSizeF(1200, 800), true, true},
                              {QStringLiteral("side"), QStringLiteral("DELL U2720Q"), 2560, 1440, QSizeF(2200, 1440),
                               false, true},
                              {QStringLiteral("projector"), QStringLiteral("Projector"), 1920, 1080, QSizeF(1600, 900),
                               true, false}};
    scene.ext.layouts = {{QStringLiteral("us"), QStringLiteral("English (US)")},
                         {QStringLiteral("de"), QStringLiteral("German")}};
    scene.defaults.setValue(keys::inputSourceRules, QVariantMap{{QStringLiteral("org.example.Mail"), QStringLiteral("de")},
                                                                {QStringLiteral("org.example.Chat"), QStringLiteral("us")}});
    scene.accessibility.trusted = false;
    scene.model().refreshPermissions();
    navigation.setPage(SettingsPage::bonus);
    QTest::qWait(100);
    saveWholePage(window, folder, QStringLiteral("settings-bonus-in-use-") + theme);

    scene.accessibility.trusted = true;
    scene.model().refreshPermissions();
    for (const QLatin1StringView key : tools)
        scene.defaults.setValue(key, false);
}

} // namespace

void writeSettingsSheets(Scene &scene, const QString &theme, const QString &folder)
{
    testing::FakeLoginItem loginItem;
    testing::FakeRelauncher relauncher;
    testing::FakeAppChooser appChooser;
    testing::FakeScreens screens;
    SettingsEnvironment environment{scene.model(), scene.defaults, scene.alerts, loginItem, relauncher, appChooser,
                                    screens};
    const SettingsPages pages = standardSettingsPages(environment);
    SettingsNavigation navigation;
    PreferencesWindow window(navigation, pages);
    window.show();
    for (const SettingsPage page : allSettingsPages()) {
        navigation.setPage(page);
        QTest::qWait(100);
        const QString name = QStringLiteral("settings-") + pageInfo(page).rawValue;
        save(window.grab().toImage(), folder, name + u'-' + theme);
        saveWholePage(window, folder, name + QStringLiteral("-whole-") + theme);
    }
    writeBonusPageInUse(scene, navigation, window, theme, folder);
}

} // namespace tamo::sheets
