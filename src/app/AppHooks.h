#pragma once

#include "model/SyncState.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

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

class UpdateService
{
public:
    virtual ~UpdateService() = default;
    virtual void start() {}
    virtual void check(bool userInitiated) { Q_UNUSED(userInitiated); }
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
    // The guard against a second installed copy, around the core's start.
    virtual void terminateRunningCopies() {}
    virtual void runSecondCopyGuard(bool welcomeClipsChecked) { Q_UNUSED(welcomeClipsChecked); }
};

// Windows of the app itself.
class AppWindows
{
public:
    virtual ~AppWindows() = default;
    // nullopt keeps the settings window on its current page.
    virtual void showPreferences(std::optional<int> page) { Q_UNUSED(page); }
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
};

} // namespace tamo
