#pragma once

#include "app/AppModel.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/x11/ChildProcess.h"
#include "platform/x11/WindowManager.h"
#include "platform/x11/X11Platform.h"
#include "support/FakeAlerts.h"
#include "support/TempDir.h"

#include <QNetworkAccessManager>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace tamo::testing {

// The app's core on the real X server as main() puts it together, with a
// window manager for the focus hand-back and a store in a scratch folder.
// The test owns the model: its drawer must outlive it.
class X11AppFixture : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(platform.isX11()) << "this suite needs an X server"; }

    std::unique_ptr<AppModel> makeModel(DrawerPanel &drawer, MenuBarPanel *menuBar = nullptr)
    {
        AppExtensions extensions;
        extensions.drawer = &drawer;
        extensions.menuBar = menuBar;
        extensions.settings = settingsWindow;
        const PlatformServices services = platformServices(platform, defaults, clock, alerts, network);
        return std::make_unique<AppModel>(services, storeDir.path(), extensions);
    }

    // Started as at launch, pasting straight into the app in front.
    void start(AppModel &model)
    {
        model.start();
        defaults.setValue(keys::directPaste, true);
    }

    static int clipCount(AppModel &model) { return model.container().mainContext().fetchCount<ClipItem>(); }

    // Another app copies text; the copy lasts while the returned process lives.
    static std::unique_ptr<ChildProcess> copyText(const QString &text)
    {
        return std::make_unique<ChildProcess>(
            QStringLiteral("sh"), QStringList{QStringLiteral("-c"),
                                              QStringLiteral("printf %s \"$1\" | xclip -quiet -selection clipboard"),
                                              QStringLiteral("sh"), text});
    }

    static void xdotool(const QStringList &arguments) { QProcess::execute(QStringLiteral("xdotool"), arguments); }

    WindowManager windowManager;
    X11Platform platform;
    TempDir configDir;
    TempDir storeDir;
    Defaults defaults{configDir.file(QStringLiteral("defaults.json"))};
    SystemClock clock;
    FakeAlerts alerts;
    QNetworkAccessManager network;
    SettingsWindow *settingsWindow = nullptr; // set before makeModel
};

} // namespace tamo::testing
