#include "sheets/SettingsSheets.h"

#include "sheets/Scene.h"

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
        auto *scroll = window.findChild<QScrollArea *>();
        QWidget *content = window.pageView();
        if (!scroll || !content)
            continue;
        // The whole page at the width the window gives it.
        const int width = scroll->viewport()->width();
        content->resize(width, qMax(content->heightForWidth(width), content->sizeHint().height()));
        save(content->grab().toImage(), folder, name + QStringLiteral("-whole-") + theme);
    }
}

} // namespace tamo::sheets
