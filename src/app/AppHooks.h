#pragma once

#include "model/SyncState.h"
#include "platform/KeyboardLayouts.h"

#include <QDateTime>
#include <QObject>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

// What the application core asks of the parts built on top of it: the
// drawer, the menu-bar panel, sync, onboarding, the settings window and the
// bonus tools. Each is a small interface whose defaults do nothing, so the
// core runs (and is tested) before those parts exist, and each part plugs in
// by overriding its interface.

namespace tamo {

class ModelContext;

// The drawer panel and its notices.
class DrawerPanel
{
public:
    virtual ~DrawerPanel() = default;
    virtual bool isVisible() const { return false; }
    virtual void showStrip() {}
    virtual void hide(bool animated) { Q_UNUSED(animated); }
    // Places the preview window, orders it front and gives it the keyboard.
    virtual void showPreview() {}
    virtual void closePreview() {}
    virtual void showPasteNotice(const QString &message) { Q_UNUSED(message); }
    virtual void showReadyToast(const QString &message) { Q_UNUSED(message); }
    virtual void showToast(const QString &message, const QString &symbol) { Q_UNUSED(message); Q_UNUSED(symbol); }
};

// The recent-clips status item and its drop-down panel.
class MenuBarPanel
{
public:
    virtual ~MenuBarPanel() = default;
    virtual bool hasStatusItem() const { return false; }
    virtual bool isPanelVisible() const { return false; }
    virtual void showPanel() {}
    virtual void hidePanel(bool animated) { Q_UNUSED(animated); }
    // When the panel last lost the keyboard; invalid when never.
    virtual QDateTime lastResign() const { return {}; }
};

// How sync is going.
struct SyncStatus
{
    enum class Kind { upToDate, failed, off, noAccount, syncing };

    Kind kind = Kind::off;
    QDateTime date; // upToDate only: when the last successful run ended
    QString text;   // failed only: why

    static SyncStatus upToDate(const QDateTime &date) { return {Kind::upToDate, date, {}}; }
    static SyncStatus failed(const QString &text) { return {Kind::failed, {}, text}; }
    static SyncStatus of(Kind kind) { return {kind, {}, {}}; }
    bool operator==(const SyncStatus &) const = default;
};

// Sync of the history between the user's machines.
class CloudSyncService : public SyncState
{
public:
    bool isEnabled() const override { return false; }
    bool importedOnce() const override { return false; }
    virtual void start(bool storeIsEmpty) { Q_UNUSED(storeIsEmpty); }
    virtual SyncStatus status() const { return {}; }
    // What runs, and the lines under it, for the indicators.
    virtual QString activityTitle() const { return {}; }
    virtual QStringList detailLines(const QDateTime &now) const { Q_UNUSED(now); return {}; }
    // What sync noticed that the user should know (a new identity for this
    // computer), kept while the app runs; empty when nothing.
    virtual QString notice() const { return {}; }
    // The status lines with the notice under them.
    QStringList withNotice(QStringList lines) const
    {
        if (const QString text = notice(); !text.isEmpty())
            lines.append(text);
        return lines;
    }
    virtual void syncNow(ModelContext &context) { Q_UNUSED(context); }
    // The folder the user's machines sync through; empty when unknown.
    virtual QString folderPath() const { return {}; }
    // Runs `changed` after each change of the status or the activity, for
    // as long as `receiver` lives.
    virtual void observe(QObject *receiver, std::function<void()> changed) { Q_UNUSED(receiver); Q_UNUSED(changed); }

    std::function<void()> onImport;
    std::function<void()> onCapacityChange;
    std::function<void()> onAccountUnavailable;
};

// A release as the update feed describes it.
struct UpdateRelease
{
    QString version;  // for display only
    qint64 build = 0; // what is compared with the running build
    QUrl url;         // the download page
};

class UpdateService
{
public:
    virtual ~UpdateService() = default;
    virtual void start() {}
    virtual void check(bool userInitiated) { Q_UNUSED(userInitiated); }
    // Reads the feed once, whatever the daily schedule says; `done` gets the
    // newest release, or nothing when the feed could not be read. It is not
    // run once `receiver` is gone.
    virtual void fetchLatest(QObject *receiver, std::function<void(std::optional<UpdateRelease>)> done)
    {
        Q_UNUSED(receiver);
        done(std::nullopt);
    }
    virtual QString currentVersion() const { return QStringLiteral("?"); }
    virtual int currentBuild() const { return 0; }
};

// How the export of a support report ended.
struct SupportReportResult
{
    QString path;  // the written report; empty when cancelled or failed
    QString error; // why it failed; empty unless it did
};

// First-run windows, the feature tour and the welcome clips.
class OnboardingService
{
public:
    virtual ~OnboardingService() = default;
    virtual bool whatsNewShouldShow() const { return false; }
    virtual void presentPersonalize(std::function<void()> onClose) { Q_UNUSED(onClose); }
    virtual void showWhatsNew() {}
    virtual void seedWelcomeClipsIfNeeded(const QDateTime &startTime) { Q_UNUSED(startTime); }
    virtual void addThanksCardIfNeeded() {}
    // The guard against a second installed copy, after the core's start. Its
    // quitting of other running copies comes before the store is claimed.
    virtual void runSecondCopyGuard(bool welcomeClipsChecked) { Q_UNUSED(welcomeClipsChecked); }
    // Asks where to save a support report and writes it; `done` runs once
    // with the outcome, unless `receiver` is gone by then.
    virtual void createSupportReport(QObject *receiver, std::function<void(const SupportReportResult &)> done)
    {
        Q_UNUSED(receiver);
        done({});
    }
};

// The settings window.
class SettingsWindow
{
public:
    virtual ~SettingsWindow() = default;
    // Shows the window on the page (counted from General, 0); nullopt keeps
    // the page it shows.
    virtual void showPreferences(std::optional<int> page) { Q_UNUSED(page); }
};

// Windows of the app itself.
class AppWindows
{
public:
    virtual ~AppWindows() = default;
    virtual void activateApp() {}
    virtual void importPasteHistory() {}
};

// The about panel.
class AboutWindow
{
public:
    virtual ~AboutWindow() = default;
    virtual void showAbout() {}
};

// Pinboard files: export, import, and the app icons stored with the clips.
class PinboardFileService
{
public:
    virtual ~PinboardFileService() = default;
    // True only when a file was written.
    virtual bool exportPinboards() { return false; }
    virtual void chooseImportFile() {}
    virtual void importPinboards(const QString &path) { Q_UNUSED(path); }
    virtual void seedIconsFromSourceApps() {}
};

// Card sizes saved per screen.
class CardSizesService
{
public:
    virtual ~CardSizesService() = default;
    // Remembers the connected screens and makes the main one's sizes current.
    virtual void startCardSizes() {}
};

// One keyboard-layout switch of the input-source tool.
struct InputSourceSwitch
{
    enum class Outcome { failed, switched, alreadyCurrent, unavailable, reapplied };

    QDateTime date;
    QString bundleID;
    QString from; // "?" when no layout was current
    QString to;
    Outcome outcome = Outcome::switched;
    int status = 0; // failed only: what the display answered

    bool operator==(const InputSourceSwitch &) const = default;
};

// The saved window sizes: screens that have one, and how many of those were
// captured from a window rather than fitted.
struct WindowSizeCounts
{
    int screensWithSize = 0;
    int captured = 0;
};

// A screen as the window sizer knows it: connected, or remembered by a saved size.
struct WindowSizerScreen
{
    QString id;
    QString name;
    int width = 0;
    int height = 0;
    std::optional<QSizeF> windowSize;
    bool isCaptured = false; // taken from a window rather than fitted
    bool isConnected = false;

    bool operator==(const WindowSizerScreen &) const = default;
};

// The four bonus tools.
class BonusTools
{
public:
    virtual ~BonusTools() = default;
    virtual bool hasWindowSwitcher() const { return false; }
    virtual void createWindowSwitcher() {}
    virtual void destroyWindowSwitcher() {}
    virtual bool isWindowSwitcherVisible() const { return false; }
    virtual void hideWindowSwitcher() {}
    virtual void setMiddleClickEnabled(bool enabled) { Q_UNUSED(enabled); }
    virtual bool isMiddleClickActive() const { return false; }
    virtual void setWindowSizerEnabled(bool enabled) { Q_UNUSED(enabled); }
    virtual void setInputSourceSwitching(bool enabled) { Q_UNUSED(enabled); }
    // Touch devices the middle click may not read (the user is not in the
    // "input" group).
    virtual int unreadableTouchDevices() const { return 0; }
    // Touch devices the middle click reads now.
    virtual int readTouchDevices() const { return 0; }
    // The keyboard layouts an app can be given, and the one in use ("" when none).
    virtual QList<KeyboardLayout> keyboardLayouts() const { return {}; }
    virtual QString currentKeyboardLayout() const { return {}; }
    // What the key left of 1 types in the current layout; "" when unknown.
    virtual QString keyLeftOfOne() const { return {}; }
    // The window sizer's screens: connected ones first, then those only remembered.
    virtual QList<WindowSizerScreen> windowSizerScreens() const { return {}; }
    // Saves the size of the window last used on the screen, never one of
    // ours; nothing when there is none or synthetic input is not allowed.
    virtual std::optional<QSizeF> captureWindowSize(const QString &screenID) { Q_UNUSED(screenID); return {}; }
    virtual void forgetWindowSize(const QString &screenID) { Q_UNUSED(screenID); }

    // What the support report tells of them.
    virtual WindowSizeCounts windowSizeCounts() const { return {}; }
    // Whether the touchpad taps clicks.
    virtual bool tapToClick() const { return false; }
    // Whether the input-source tool follows the front app now.
    virtual bool isWatchingAppSwitches() const { return false; }
    // Whether the desktop keeps a layout per window of its own.
    virtual bool followsWindowLayout() const { return false; }
    // The last switches of this run, oldest first.
    virtual QList<InputSourceSwitch> recentInputSourceSwitches() const { return {}; }
};

} // namespace tamo
