#include "model/DefaultSettings.h"

#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"

namespace tamo {

namespace {

// Carbon modifier masks and macOS virtual key codes: the stored shortcut format.
constexpr int kCommand = 256;
constexpr int kShift = 512;
constexpr int kControl = 4096;
constexpr int kKeyV = 9;
constexpr int kKeyZ = 6;
constexpr int kKey1 = 18;

} // namespace

void registerDefaultSettings(Defaults &defaults)
{
    defaults.registerDefaults({
        {keys::historyCapacity, rawValue(HistoryCapacity::month)},
        {keys::pasteNotice, rawValue(PasteNotice::card)},
        {keys::cardScale, 1.0},
        {keys::cardTextScale, 1.0},
        {keys::showDuringScreenSharing, true},
        {keys::showMenuBarIcon, true},
        {keys::menuBarRecentClips, true},
        {keys::menuBarVisibleCards, 0},
        {keys::menuBarLayout, rawValue(MenuBarLayout::vertical)},
        {keys::hotKeyDisplay, QStringLiteral("⇧⌘V")},
        {keys::hotKeyCode, kKeyV},
        {keys::hotKeyModifiers, kShift | kCommand},
        {keys::shortcutTarget, rawValue(ShortcutTarget::drawer)},
        {keys::directPaste, false},
        {keys::soundEffects, true},
        {keys::linkPreviews, true},
        {keys::skipSecrets, false},
        {keys::saveAutomaticCopies, false},
        // Apps whose copies are never kept; ids that name no installed app are harmless.
        {keys::ignoredApps, QStringList{QStringLiteral("com.apple.keychainaccess"),
                                        QStringLiteral("com.apple.Passwords")}},
        {keys::checkForUpdates, true},
        {keys::windowSwitcherEnabled, false},
        {keys::windowSwitcherBrowserTabs, false},
        {keys::threeFingerMiddleClick, false},
        {keys::inputSourceByApp, false},
        {keys::windowSizeEnabled, false},
        {keys::windowSwitcherHotKeyCode, kKey1},
        {keys::windowSwitcherHotKeyModifiers, kControl},
        {keys::windowSwitcherHotKeyDisplay, QStringLiteral("⌃1")},
        {keys::windowSizeHotKeyCode, kKeyZ},
        {keys::windowSizeHotKeyModifiers, kControl | kCommand},
        {keys::windowSizeHotKeyDisplay, QStringLiteral("⌃⌘Z")},
    });
}

} // namespace tamo
