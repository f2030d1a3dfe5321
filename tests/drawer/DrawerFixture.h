#pragma once

#include "QtPrinters.h"
#include "app/AppModelFixture.h"
#include "support/FakeScreens.h"

#include "drawer/PanelController.h"
#include "drawer/TamoPanel.h"
#include "model/DefaultSettings.h"
#include "platform/Defaults.h"

#include <QTest>

#include <memory>

namespace tamo::testing {

// Durations run at a tenth: a 0.12 s fade takes 12 ms.
inline constexpr TimeScale fastTime{0.1};

inline ScreenInfo screenInfo(const QRectF &frame, const QRectF &visibleFrame, const QString &name, quint32 serial)
{
    ScreenInfo screen;
    screen.frame = frame;
    screen.visibleFrame = visibleFrame;
    screen.name = name;
    screen.serial = serial;
    return screen;
}

// A drawer on fake screens over a real model whose other parts record what
// they are asked. The primary screen is 1440 × 900 with a 25-pt panel at the
// top; a second 1920 × 1080 screen to its right shares its upper edge, so both
// lie at non-negative Qt coordinates.
class DrawerFixture : public AppModelFixture
{
protected:
    DrawerFixture()
    {
        registerDefaultSettings(defaults);
        screens.setScreens({primary, secondary});
        panel = std::make_unique<PanelController>(defaults, screens, fastTime);
        AppExtensions extensions = ext.extensions();
        extensions.drawer = panel.get();
        drawerModel = std::make_unique<AppModel>(services(), storeDir.path(), extensions);
        panel->setModel(drawerModel.get());
    }

    void pointAt(const ScreenInfo &screen) { screens.setPointerLocation(screen.frame.center()); }

    QRectF stripFrame() { return screens.geometry().fromQt(QRectF(panel->stripPanel().geometry())); }

    // Shown and slid in. The offscreen platform gives the keyboard back to a
    // window shown again only after another window had it.
    void showDrawer()
    {
        panel->showStrip();
        ASSERT_TRUE(QTest::qWaitFor([&] { return panel->stripPanel().windowOpacity() == 1.0; }));
    }

    bool waitUntilHidden(QWidget &window) { return QTest::qWaitFor([&] { return window.isHidden(); }); }

    const ScreenInfo primary = screenInfo({0, 0, 1440, 900}, {0, 0, 1440, 875}, QStringLiteral("Built-in"), 1);
    const ScreenInfo secondary
        = screenInfo({1440, -180, 1920, 1080}, {1440, -180, 1920, 1080}, QStringLiteral("Wide"), 2);
    FakeScreens screens;
    std::unique_ptr<PanelController> panel;
    std::unique_ptr<AppModel> drawerModel; // goes before the panel it calls
};

} // namespace tamo::testing
