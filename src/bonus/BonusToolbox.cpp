#include "bonus/BonusToolbox.h"

#include "platform/KeyboardLayouts.h"
#include "platform/TouchDevices.h"

#include <algorithm>

namespace tamo {

BonusToolbox::BonusToolbox(const Platform &platform, qint64 ownPid, SwitcherDelays delays)
    : m_platform(platform)
    , m_delays(delays)
    , m_tabs(*platform.accessibleTree, *platform.clock)
    , m_favicons(*platform.network, *platform.clock, platform.faviconFolder)
    , m_catalog(*platform.windowServer, *platform.accessibility, *platform.defaults, m_recent, ownPid)
    , m_sizer({platform.windowServer, platform.accessibility, platform.defaults, platform.screens, platform.drawer},
              ownPid)
{
    m_catalog.setBrowserTabs(&m_tabs);
    m_catalog.setLauncherBadges(platform.launcherBadges);
    if (platform.workspace && platform.keyboardLayouts) {
        m_inputSources = std::make_unique<InputSourceSwitcher>(*platform.workspace, *platform.keyboardLayouts,
                                                               *platform.defaults, *platform.clock);
    }
    if (platform.touchDevices && platform.clickConverter && platform.systemSleep) {
        m_middleClick = std::make_unique<MiddleClickService>(*platform.touchDevices, *platform.clickConverter,
                                                             *platform.systemSleep, *platform.accessibility);
    }
}

BonusToolbox::~BonusToolbox() = default;

void BonusToolbox::createWindowSwitcher()
{
    if (m_switcher || !m_hotKeys)
        return;
    WindowSwitcherController::Services services;
    services.catalog = &m_catalog;
    services.recent = &m_recent;
    services.server = m_platform.windowServer;
    services.accessibility = m_platform.accessibility;
    services.defaults = m_platform.defaults;
    services.screens = m_platform.screens;
    services.tabs = &m_tabs;
    services.favicons = &m_favicons;
    services.eventPoster = m_platform.eventPoster;
    // Browsers expose their tab strips only once asked to.
    if (m_catalog.browserTabsOn())
        m_tabs.enable();
    m_switcher = std::make_unique<WindowSwitcherService>(services, *m_hotKeys, *m_platform.drawer, m_delays);
}

void BonusToolbox::destroyWindowSwitcher()
{
    m_switcher.reset();
}

bool BonusToolbox::isWindowSwitcherVisible() const
{
    return m_switcher && m_switcher->controller().isVisible();
}

void BonusToolbox::hideWindowSwitcher()
{
    if (m_switcher)
        m_switcher->controller().hide();
}

void BonusToolbox::setMiddleClickEnabled(bool enabled)
{
    if (m_middleClick)
        m_middleClick->setEnabled(enabled);
}

bool BonusToolbox::isMiddleClickActive() const
{
    return m_middleClick && m_middleClick->state() == MiddleClickService::State::active;
}

void BonusToolbox::setInputSourceSwitching(bool enabled)
{
    if (!m_inputSources)
        return;
    if (enabled)
        m_inputSources->start();
    else
        m_inputSources->stop();
}

int BonusToolbox::unreadableTouchDevices() const
{
    return m_middleClick ? m_middleClick->unreadableDevices() : 0;
}

int BonusToolbox::readTouchDevices() const
{
    return m_middleClick ? m_middleClick->readDevices() : 0;
}

QList<KeyboardLayout> BonusToolbox::keyboardLayouts() const
{
    return m_inputSources ? m_inputSources->availableSources() : QList<KeyboardLayout>();
}

QString BonusToolbox::keyLeftOfOne() const
{
    return m_platform.keyboardLayouts ? m_platform.keyboardLayouts->keyLeftOfOne() : QString();
}

QString BonusToolbox::currentKeyboardLayout() const
{
    return m_platform.keyboardLayouts ? m_platform.keyboardLayouts->currentLayoutID() : QString();
}

WindowSizeCounts BonusToolbox::windowSizeCounts() const
{
    const QList<WindowSizer::Screen> screens = m_sizer.screens();
    const auto sized = std::count_if(screens.cbegin(), screens.cend(),
                                     [](const WindowSizer::Screen &screen) { return screen.windowSize.has_value(); });
    return {int(sized), m_sizer.capturedCount()};
}

bool BonusToolbox::tapToClick() const
{
    return m_platform.clickConverter && m_platform.clickConverter->tapToClick();
}

bool BonusToolbox::isWatchingAppSwitches() const
{
    return m_inputSources && m_inputSources->isRunning();
}

bool BonusToolbox::followsWindowLayout() const
{
    return m_inputSources && m_inputSources->followsDocumentInputSource();
}

QList<InputSourceSwitch> BonusToolbox::recentInputSourceSwitches() const
{
    return m_inputSources ? m_inputSources->recentSwitches() : QList<InputSourceSwitch>();
}

void BonusToolbox::setWindowSizerEnabled(bool enabled)
{
    if (m_hotKeys)
        m_sizer.setEnabled(enabled, *m_hotKeys);
}

} // namespace tamo
