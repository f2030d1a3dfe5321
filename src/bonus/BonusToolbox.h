#pragma once

#include "app/AppHooks.h"
#include "bonus/BrowserFavicons.h"
#include "bonus/BrowserTabs.h"
#include "bonus/InputSourceSwitcher.h"
#include "bonus/MiddleClickService.h"
#include "bonus/RecentWindows.h"
#include "bonus/WindowSizer.h"
#include "bonus/WindowSwitcherCatalog.h"
#include "bonus/WindowSwitcherService.h"

#include <memory>

namespace tamo {

class Accessibility;
class AccessibleTree;
class Clock;
class Defaults;
class EventPoster;
class LauncherBadges;
class GlobalHotKeyRegistry;
class KeyboardLayouts;
class Workspace;
class Screens;
class WindowServer;

// The bonus tools as the application core switches them. What must outlive
// a switched-off tool (the recent windows, the window cache) lives here for
// the whole run.
class BonusToolbox final : public BonusTools
{
public:
    struct Platform
    {
        WindowServer *windowServer = nullptr;
        const Accessibility *accessibility = nullptr;
        Defaults *defaults = nullptr;
        const Screens *screens = nullptr;
        DrawerPanel *drawer = nullptr;
        AccessibleTree *accessibleTree = nullptr;
        const LauncherBadges *launcherBadges = nullptr;
        EventPoster *eventPoster = nullptr;
        QNetworkAccessManager *network = nullptr;
        const Clock *clock = nullptr;
        QString faviconFolder;
        // The input tools run where all of these are given.
        Workspace *workspace = nullptr;
        KeyboardLayouts *keyboardLayouts = nullptr;
        TouchDevices *touchDevices = nullptr;
        ClickConverter *clickConverter = nullptr;
        SystemSleep *systemSleep = nullptr;
    };

    BonusToolbox(const Platform &platform, qint64 ownPid, SwitcherDelays delays = {});
    ~BonusToolbox() override;

    // The hot keys live in the core, which is made after the toolbox; the
    // tools stay off until they are handed over.
    void attach(GlobalHotKeyRegistry &hotKeys) { m_hotKeys = &hotKeys; }

    bool hasWindowSwitcher() const override { return m_switcher != nullptr; }
    void createWindowSwitcher() override;
    void destroyWindowSwitcher() override;
    bool isWindowSwitcherVisible() const override;
    void hideWindowSwitcher() override;
    void setWindowSizerEnabled(bool enabled) override;
    void setMiddleClickEnabled(bool enabled) override;
    bool isMiddleClickActive() const override;
    void setInputSourceSwitching(bool enabled) override;
    int unreadableTouchDevices() const override;
    int readTouchDevices() const override;
    QList<KeyboardLayout> keyboardLayouts() const override;
    QString keyLeftOfOne() const override;
    QString currentKeyboardLayout() const override;
    WindowSizeCounts windowSizeCounts() const override;
    bool tapToClick() const override;
    bool isWatchingAppSwitches() const override;
    bool followsWindowLayout() const override;
    QList<InputSourceSwitch> recentInputSourceSwitches() const override;
    QList<WindowSizerScreen> windowSizerScreens() const override { return m_sizer.screens(); }
    std::optional<QSizeF> captureWindowSize(const QString &screenID) override
    {
        return m_sizer.captureCurrentSize(screenID);
    }
    void forgetWindowSize(const QString &screenID) override { m_sizer.forgetSize(screenID); }

    WindowSwitcherService *windowSwitcher() const { return m_switcher.get(); }
    WindowSwitcherCatalog &catalog() { return m_catalog; }
    const RecentWindows &recentWindows() const { return m_recent; }
    WindowSizer &windowSizer() { return m_sizer; }
    InputSourceSwitcher *inputSources() const { return m_inputSources.get(); }
    MiddleClickService *middleClick() const { return m_middleClick.get(); }

private:
    Platform m_platform;
    SwitcherDelays m_delays;
    GlobalHotKeyRegistry *m_hotKeys = nullptr;
    RecentWindows m_recent;
    BrowserTabs m_tabs;
    BrowserFavicons m_favicons;
    WindowSwitcherCatalog m_catalog;
    std::unique_ptr<WindowSwitcherService> m_switcher;
    WindowSizer m_sizer;
    std::unique_ptr<InputSourceSwitcher> m_inputSources;
    std::unique_ptr<MiddleClickService> m_middleClick;
};

} // namespace tamo
