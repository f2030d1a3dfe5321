#pragma once

#include "OneScreen.h"

#include "app/AppDelegate.h"
#include "app/AppModel.h"
#include "drawer/DrawerAssembly.h"
#include "drawer/PanelController.h"
#include "menubar/MenuBarAssembly.h"
#include "menubar/MenuBarClipsController.h"
#include "model/DefaultSettings.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/TrayStatusItem.h"
#include "platform/x11/X11Platform.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QTemporaryDir>

#include <memory>

namespace tamo::bench {

// main()'s assembly over the store in `folder`, up to the end of the launch,
// with every view alive (drawer, preview, menu-bar panel).
struct App
{
    explicit App(const QString &folder)
    {
        registerDefaultSettings(defaults);
        const PlatformServices services = platformServices(platform, defaults, clock, alerts, network);
        AppExtensions extensions;
        extensions.drawer = &drawerPanel;
        extensions.menuBar = &menuBarClips;
        model = std::make_unique<AppModel>(services, folder, extensions);
        drawer = std::make_unique<DrawerAssembly>(drawerPanel, *model, defaults, clock);
        menuBar = std::make_unique<MenuBarAssembly>(menuBarClips, *model, defaults, clock);
        delegate = std::make_unique<AppDelegate>(*model, defaults);
        delegate->finishLaunching();
    }

    QTemporaryDir configFolder;
    Defaults defaults{configFolder.filePath(QStringLiteral("defaults.json"))};
    SystemClock clock;
    X11Platform platform;
    MessageBoxAlerts alerts;
    QNetworkAccessManager network;
    OneScreen screens;
    PanelController drawerPanel{defaults, screens};
    TrayStatusItem recentClipsIcon{screens};
    MenuBarClipsController menuBarClips{defaults, screens, recentClipsIcon, drawerPanel, platform.clickShield(), clock};
    std::unique_ptr<AppModel> model;
    std::unique_ptr<DrawerAssembly> drawer;
    std::unique_ptr<MenuBarAssembly> menuBar;
    std::unique_ptr<AppDelegate> delegate;
};

inline void settle()
{
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

} // namespace tamo::bench
