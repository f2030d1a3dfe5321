#pragma once

#include "app/AppHooks.h"
#include "model/ClipItem.h"
#include "model/Pinboard.h"
#include "model/SearchFilter.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUuid>

#include <memory>

class QNetworkAccessManager;
class QTimer;

namespace tamo {

class Accessibility;
class Alerts;
struct AlertSpec;
class AppIcons;
class ClipLibrary;
class ClipboardMonitor;
class Clock;
class CloudKeyValueStore;
class Defaults;
class EventPoster;
class GlobalHotKeyRegistry;
class GlobalHotKeys;
class History;
class HotKey;
class LinkPreviews;
class ModelContainer;
class Pasteboard;
class PasteboardWriter;
class Pinboards;
class ScreenshotFolder;
class ScreenshotWatcher;
class Sounds;
class SourceAppPublisher;
class StoreMaintenance;
class WaitingCopies;
struct SavedCopy;
class Workspace;

// The desktop facilities the application runs on.
struct PlatformServices
{
    Defaults *defaults = nullptr;
    const Clock *clock = nullptr;
    Pasteboard *pasteboard = nullptr;
    Workspace *workspace = nullptr;
    GlobalHotKeys *hotKeys = nullptr;
    EventPoster *eventPoster = nullptr;
    Accessibility *accessibility = nullptr;
    Alerts *alerts = nullptr;
    Sounds *sounds = nullptr;
    ScreenshotFolder *screenshotFolder = nullptr;
    QNetworkAccessManager *network = nullptr;
};

// The facilities of a platform that offers them all (X11Platform), with
// what the application brings itself.
template<typename Platform>
PlatformServices platformServices(Platform &platform, Defaults &defaults, const Clock &clock, Alerts &alerts,
                                  QNetworkAccessManager &network)
{
    return {&defaults, &clock, &platform.pasteboard(), &platform.workspace(), &platform.hotKeys(),
            &platform.eventPoster(), &platform.accessibility(), &alerts, &platform.sounds(),
            &platform.screenshotFolder(), &network};
}

// The parts built on top of the core; any left empty does nothing.
struct AppExtensions
{
    DrawerPanel *drawer = nullptr;
    MenuBarPanel *menuBar = nullptr;
    CloudSyncService *sync = nullptr;
    CloudKeyValueStore *keyValueStore = nullptr;
    UpdateService *updates = nullptr;
    OnboardingService *onboarding = nullptr;
    AppWindows *windows = nullptr;
    AboutWindow *about = nullptr;
    SettingsWindow *settings = nullptr;
    PinboardFileService *pinboardFiles = nullptr;
    CardSizesService *cardSizes = nullptr;
    BonusTools *bonus = nullptr;
};

// The shared application state and the operations on it: selection, search,
// pinboards, capture, paste and start-up. Every observed property notifies
// only when its value really changes.
class AppModel : public QObject
{
    Q_OBJECT

public:
    // Opens the stores; throws StoreOpenError when they cannot be opened.
    AppModel(const PlatformServices &services, const QString &storeDirectory, const AppExtensions &extensions = {},
             QObject *parent = nullptr);
    ~AppModel() override;

    // Runs the start-up steps in their fixed order; once.
    void start();

    // True when "Tamo.store" existed before this launch opened it.
    bool isExistingInstall() const { return m_isExistingInstall; }
    QDateTime startTime() const { return m_startTime; }

    ModelContainer &container() { return *m_container; }
    ClipLibrary &clips() { return *m_clips; }
    Pinboards &pinboards() { return *m_pinboards; }
    History &history() { return *m_history; }
    AppIcons &icons() { return *m_icons; }
    LinkPreviews &linkPreviews() { return *m_linkPreviews; }
    GlobalHotKeyRegistry &hotKeyRegistry() { return *m_hotKeyRegistry; }
    HotKey &hotKey() { return *m_hotKey; }
    ScreenshotWatcher *screenshots() const { return m_screenshots; }
    ClipboardMonitor *monitor() const { return m_monitor; }
    DrawerPanel &drawer() { return *m_ext.drawer; }
    MenuBarPanel &menuBar() { return *m_ext.menuBar; }
    CloudSyncService &sync() { return *m_ext.sync; }
    AppWindows &windows() { return *m_ext.windows; }
    PinboardFileService &pinboardFiles() { return *m_ext.pinboardFiles; }
    OnboardingService &onboarding() { return *m_ext.onboarding; }
    UpdateService &updates() { return *m_ext.updates; }
    // Opens addresses and shows files for the views.
    Workspace &workspace() { return *m_platform.workspace; }
    const Clock &clock() const { return *m_platform.clock; }

    // Observed state.
    QUuid selectedPinboardID() const { return m_selectedPinboardID; }
    void setSelectedPinboardID(const QUuid &id);
    QUuid selectedItemID() const { return m_selectedItemID; }
    void setSelectedItemID(const QUuid &id);
    QSet<QUuid> multiSelection() const { return m_multiSelection; }
    void setMultiSelection(const QSet<QUuid> &ids);
    QUuid previewItemID() const { return m_previewItemID; }
    void setPreviewItemID(const QUuid &id);
    QUuid renamingPinboardID() const { return m_renamingPinboardID; }
    void setRenamingPinboardID(const QUuid &id);
    bool isReorderingPinboards() const { return m_isReorderingPinboards; }
    void setReorderingPinboards(bool reordering);
    QUuid draggedPinboardID() const { return m_draggedPinboardID; }
    void setDraggedPinboardID(const QUuid &id);
    QUuid renamingItemID() const { return m_renamingItemID; }
    void setRenamingItemID(const QUuid &id);
    bool renamingInMenuBar() const { return m_renamingInMenuBar; }
    void setRenamingInMenuBar(bool inMenuBar);
    QUuid iconPickerItemID() const { return m_iconPickerItemID; }
    void setIconPickerItemID(const QUuid &id);
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    bool searchOpened() const { return m_searchOpened; }
    void setSearchOpened(bool opened);
    QList<SearchFilter> searchFilters() const { return m_searchFilters; }
    void setSearchFilters(const QList<SearchFilter> &filters);
    QList<QUuid> visibleItemIDs() const { return m_visibleItemIDs; }
    void setVisibleItemIDs(const QList<QUuid> &ids);
    int focusToken() const { return m_focusToken; }
    int presentationToken() const { return m_presentationToken; }
    bool accessibilityGranted() const { return m_accessibilityGranted; }
    bool middleClickActive() const { return m_middleClickActive; }
    BonusTools &bonusTools() { return *m_ext.bonus; }

    // Plain state.
    std::optional<QList<QUuid>> previewOrder() const { return m_previewOrder; }
    QUuid selectionAnchor() const { return m_selectionAnchor; }

    // Asks the drawer's strip to take the keyboard back.
    void bumpFocusToken();

    bool isSearchActive() const;
    bool isOrderedPreviewOpen() const;

    // Paste and copy.
    void paste(const QList<ClipItemPtr> &clips, bool plainText);
    void copyToClipboard(const QList<ClipItemPtr> &clips);

    // Clips.
    void pin(const QList<ClipItemPtr> &clips, const Pinboard &pinboard);
    void unpin(const QList<ClipItemPtr> &clips);
    void deleteItems(const QList<ClipItemPtr> &clips);
    void beginRenaming(const ClipItem &clip, bool inMenuBar);
    // Closes the clip's title field and gives the keyboard back to the cards.
    void endRenaming();
    void openIconPicker(const ClipItem &clip);
    void openPreview(const ClipItem &clip, const std::optional<QList<QUuid>> &order = std::nullopt);
    // Clears the previewed clip and its order and closes the preview window.
    void closePreview();
    void select(const ClipItem &clip);
    void selectRange(const QUuid &clipID, const QList<QUuid> &orderedIDs);

    // Pinboards.
    void cyclePinboard(bool forward);
    PinboardPtr newPinboard();
    void commitPinboardRename(Pinboard &pinboard);
    void setPinboardColor(int colorIndex, Pinboard &pinboard);
    void deletePinboard(const PinboardPtr &pinboard);
    void movePinboard(const QUuid &draggedID, const QUuid &targetID);
    void endPinboardReorder();

    // Search and the drawer's transient state.
    void openSearch();
    void resetSearch();
    void toggleSearchFilter(const SearchFilter &filter);
    void resetTransientState();

    struct SourceAppFilter
    {
        QString bundleID;
        QString name;
    };
    // The apps the history's clips came from, most clips first.
    QList<SourceAppFilter> sourceAppFilters(int limit);

    // Windows, history and the main shortcut.
    void handleHotKey();
    // Shows the drawer over the window the user works in.
    void openDrawer();
    // Notes the window the user works in as where a paste goes; called
    // before a panel of ours takes the keyboard.
    void notePasteTarget();
    void showPreferences(std::optional<int> page = std::nullopt);
    void showAbout();
    void checkForUpdates();
    void clearHistory();
    void clearLast24Hours();
    bool setHistoryCapacity(int capacity);
    // The menus' Quit. Copies still waiting for room on the disk are named
    // in an alert first, and kept if room was made before it is answered;
    // the user may keep the app running instead.
    void quit();
    // `reason` empty: the disk is full.
    static AlertSpec unsavedCopiesAlert(qsizetype count, const QString &reason);

    // Permissions and feature switches.
    void refreshPermissions();
    void setDirectPaste(bool enabled);
    void setWindowSwitcherEnabled(bool enabled);
    void setWindowSizeEnabled(bool enabled);
    void setThreeFingerMiddleClick(bool enabled);
    // Needs no permission: it only switches keyboard layouts.
    void setInputSourceByApp(bool enabled);
    void applyWindowSwitcher();

    void showOnboardingIfNeeded();
    void reportSettingsProblem();
    void handleCloudImport(const QDateTime &startTime);

    // A capture from the clipboard monitor.
    void ingest(const ClipDraft &draft);

signals:
    void selectedPinboardIDChanged();
    void selectedItemIDChanged();
    void multiSelectionChanged();
    void previewItemIDChanged();
    void renamingPinboardIDChanged();
    void reorderingPinboardsChanged();
    void draggedPinboardIDChanged();
    void renamingItemIDChanged();
    void renamingInMenuBarChanged();
    void iconPickerItemIDChanged();
    void searchTextChanged();
    void searchOpenedChanged();
    void searchFiltersChanged();
    void visibleItemIDsChanged();
    void focusTokenChanged();
    void presentationTokenChanged();
    void accessibilityGrantedChanged();
    void middleClickActiveChanged();

private:
    template<typename T>
    void update(T &field, const T &value, void (AppModel::*changed)());
    // Writes a feature switch; turning on a feature that needs synthetic
    // input asks for the permission when it is missing.
    void writeSwitchNeedingTrust(const QString &key, bool enabled);
    void migrateInstallDependentDefaults();
    void connectCloudSync();
    void mergeDuplicatesInBackground();
    void trimHistory();
    void reportUnsavedCopy();
    void playCaptureSound();
    void waitForStore(const ClipItemPtr &clip, const ClipDraft &draft);
    void placeWaitingCopy(const SavedCopy &copy);
    // How long quitting lets copies waiting for the store be written.
    static constexpr int quitStoreWaitMs = 1000;
    void retryUnsavedCopies();
    static constexpr int saveRetryMilliseconds = 500;
    // Runs a deletion the user asked for: the clips it removed leave the
    // selection, and one the store could not take is told.
    void deleteAsked(const std::function<QList<QUuid>()> &deletion);
    void showAlertSoon(const AlertSpec &alert);
    void saveBeforeQuit();
    // Moves the selection and the preview off clips that were removed.
    void forgetClips(const QList<QUuid> &removed);
    void writeToPasteboard(const QList<ClipItemPtr> &clips, bool plainText);
    static QString readyMessage(qsizetype count);

    PlatformServices m_platform;
    AppExtensions m_ext;
    struct NullExtensions;
    std::unique_ptr<NullExtensions> m_nullExtensions; // stand in for the parts not given

    bool m_isExistingInstall = false;
    QDateTime m_startTime;
    bool m_started = false;

    std::unique_ptr<ModelContainer> m_container;
    std::unique_ptr<AppIcons> m_icons;
    std::unique_ptr<SourceAppPublisher> m_sourceApps;
    std::unique_ptr<ClipLibrary> m_clips;
    std::unique_ptr<Pinboards> m_pinboards;
    std::unique_ptr<History> m_history;
    std::unique_ptr<StoreMaintenance> m_maintenance;
    std::unique_ptr<PasteboardWriter> m_writer;
    std::unique_ptr<GlobalHotKeyRegistry> m_hotKeyRegistry;
    std::unique_ptr<HotKey> m_hotKey;
    LinkPreviews *m_linkPreviews = nullptr;
    ClipboardMonitor *m_monitor = nullptr;
    ScreenshotWatcher *m_screenshots = nullptr;
    QTimer *m_pruneTimer = nullptr;
    QTimer *m_permissionTimer = nullptr;
    QTimer *m_saveRetry = nullptr;
    std::unique_ptr<WaitingCopies> m_waitingCopies; // its writer goes before the container

    QUuid m_selectedPinboardID;
    QUuid m_selectedItemID;
    QSet<QUuid> m_multiSelection;
    QUuid m_previewItemID;
    QUuid m_renamingPinboardID;
    bool m_isReorderingPinboards = false;
    QUuid m_draggedPinboardID;
    QUuid m_renamingItemID;
    bool m_renamingInMenuBar = false;
    QUuid m_iconPickerItemID;
    QString m_searchText;
    bool m_searchOpened = false;
    QList<SearchFilter> m_searchFilters;
    QList<QUuid> m_visibleItemIDs;
    int m_focusToken = 0;
    int m_presentationToken = 0;
    bool m_accessibilityGranted = false;
    bool m_toldDiskFull = false;
    bool m_middleClickActive = false;
    std::optional<QList<QUuid>> m_previewOrder;
    QUuid m_selectionAnchor;
};

} // namespace tamo
