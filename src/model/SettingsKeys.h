#pragma once

#include <QLatin1StringView>

// Every user-defaults key, spelled once. The names are a file format: they
// are what defaults.json holds, so they never change.
namespace tamo::keys {

using Key = QLatin1StringView;

// Registered at start (see registerDefaultSettings).
inline constexpr Key historyCapacity{"historyCapacity"};
inline constexpr Key pasteNotice{"pasteNotice"};
inline constexpr Key cardScale{"cardScale"};
inline constexpr Key cardTextScale{"cardTextScale"};
inline constexpr Key showDuringScreenSharing{"showDuringScreenSharing"};
inline constexpr Key showMenuBarIcon{"showMenuBarIcon"};
inline constexpr Key menuBarRecentClips{"menuBarRecentClips"};
inline constexpr Key menuBarVisibleCards{"menuBarVisibleCards"};
inline constexpr Key menuBarLayout{"menuBarLayout"};
inline constexpr Key hotKeyDisplay{"hotKeyDisplay"};
inline constexpr Key hotKeyCode{"hotKeyCode"};
inline constexpr Key hotKeyModifiers{"hotKeyModifiers"};
inline constexpr Key shortcutTarget{"shortcutTarget"};
inline constexpr Key directPaste{"directPaste"};
inline constexpr Key soundEffects{"soundEffects"};
inline constexpr Key linkPreviews{"linkPreviews"};
inline constexpr Key skipSecrets{"skipSecrets"};
inline constexpr Key saveAutomaticCopies{"saveAutomaticCopies"};
inline constexpr Key ignoredApps{"ignoredApps"};
inline constexpr Key checkForUpdates{"checkForUpdates"};
inline constexpr Key updateFeedURL{"updateFeedURL"};
inline constexpr Key windowSwitcherEnabled{"windowSwitcherEnabled"};
inline constexpr Key windowSwitcherBrowserTabs{"windowSwitcherBrowserTabs"};
inline constexpr Key threeFingerMiddleClick{"threeFingerMiddleClick"};
inline constexpr Key inputSourceByApp{"inputSourceByApp"};
inline constexpr Key windowSizeEnabled{"windowSizeEnabled"};
inline constexpr Key windowSwitcherHotKeyCode{"windowSwitcherHotKeyCode"};
inline constexpr Key windowSwitcherHotKeyModifiers{"windowSwitcherHotKeyModifiers"};
inline constexpr Key windowSwitcherHotKeyDisplay{"windowSwitcherHotKeyDisplay"};
inline constexpr Key windowSizeHotKeyCode{"windowSizeHotKeyCode"};
inline constexpr Key windowSizeHotKeyModifiers{"windowSizeHotKeyModifiers"};
inline constexpr Key windowSizeHotKeyDisplay{"windowSizeHotKeyDisplay"};

// Absent until written; each reader has its own fallback.
inline constexpr Key alwaysPlainText{"alwaysPlainText"};
inline constexpr Key captureScreenshots{"captureScreenshots"};
inline constexpr Key holdToPreview{"holdToPreview"};
inline constexpr Key cardStyle{"cardStyle"};
inline constexpr Key screenCardSizes{"screenCardSizes"};
inline constexpr Key screenCardSizesActive{"screenCardSizesActive"};
inline constexpr Key personalizeShown{"personalizeShown"};
inline constexpr Key whatsNewShown{"whatsNewShown"};
inline constexpr Key windowSizes{"windowSizes"};
inline constexpr Key inputSourceRules{"inputSourceRules"};
inline constexpr Key previewFrame{"previewFrame"};

// Sync and bookkeeping.
inline constexpr Key iCloudSync{"iCloudSync"};
inline constexpr Key iCloudLastSynced{"iCloudLastSynced"};
inline constexpr Key iCloudImportedOnce{"iCloudImportedOnce"};
inline constexpr Key syncFolder{"syncFolder"};
inline constexpr Key importedPinboardFiles{"importedPinboardFiles"};
inline constexpr Key pasteImportUnfinished{"pasteImportUnfinished"};
inline constexpr Key welcomeClipsChecked{"welcomeClipsChecked"};
inline constexpr Key linkedInCardChecked{"linkedInCardChecked"};
inline constexpr Key lastUpdateCheck{"lastUpdateCheck"};
inline constexpr Key announcedUpdateBuild{"announcedUpdateBuild"};
inline constexpr Key renameNoticeShown{"renameNoticeShown"};
inline constexpr Key renameExtraCopiesOffered{"renameExtraCopiesOffered"};

} // namespace tamo::keys
