#pragma once

#include "support/FakeAccessibility.h"
#include "support/FakeAlerts.h"
#include "support/FakeClock.h"
#include "support/FakeEventPoster.h"
#include "support/FakeGlobalHotKeys.h"
#include "support/FakePasteboard.h"
#include "support/FakeScreenshotFolder.h"
#include "support/FakeSounds.h"
#include "support/FakeWorkspace.h"
#include "support/TempDir.h"

#include "app/AppModel.h"
#include "platform/Defaults.h"

#include <QDir>
#include <QNetworkAccessManager>

namespace tamo::testing {

// Every part above the core, writing what it is asked into one log.
class RecordingExtensions : public DrawerPanel,
                            public MenuBarPanel,
                            public CloudSyncService,
                            public UpdateService,
                            public OnboardingService,
                            public AppWindows,
                            public AboutWindow,
                            public SettingsWindow,
                            public PinboardFileService,
                            public CardSizesService,
                            public BonusTools
{
public:
    QStringList log;
    std::function<void(const QString &)> onLog; // lets a test look around at a step

    bool drawerVisible = false;
    bool statusItem = false;
    bool menuBarPanelVisible = false;
    QDateTime resigned;
    bool switcher = false;
    bool syncEnabled = false;

    void note(const QString &entry)
    {
        log.append(entry);
        if (onLog)
            onLog(entry);
    }

    bool isVisible() const override { return drawerVisible; }
    void showStrip() override { drawerVisible = true; note(QStringLiteral("drawer.show")); }
    void hide(bool animated) override
    {
        drawerVisible = false;
        note(animated ? QStringLiteral("drawer.hide.animated") : QStringLiteral("drawer.hide"));
    }
    void showPreview() override { note(QStringLiteral("preview.show")); }
    void closePreview() override { note(QStringLiteral("preview.close")); }
    void showPasteNotice(const QString &message) override { note(QStringLiteral("notice:") + message); }
    void showReadyToast(const QString &message) override { note(QStringLiteral("ready:") + message); }
    void showToast(const QString &message, const QString &) override { note(QStringLiteral("toast:") + message); }

    bool hasStatusItem() const override { return statusItem; }
    bool isPanelVisible() const override { return menuBarPanelVisible; }
    void showPanel() override { menuBarPanelVisible = true; note(QStringLiteral("menubar.show")); }
    void hidePanel(bool animated) override
    {
        menuBarPanelVisible = false;
        note(animated ? QStringLiteral("menubar.hide.animated") : QStringLiteral("menubar.hide"));
    }
    QDateTime lastResign() const override { return resigned; }

    bool isEnabled() const override { return syncEnabled; }
    SyncStatus syncStatus;
    std::function<void()> syncChanged;
    SyncStatus status() const override { return syncStatus; }
    QString activityTitle() const override { return QStringLiteral("Writing to the sync folder · started now"); }
    QStringList detailLines(const QDateTime &) const override { return {QStringLiteral("Last synced now")}; }
    QString syncNotice;
    QString notice() const override { return syncNotice; }
    void syncNow(ModelContext &) override { note(QStringLiteral("sync.now")); }
    void observe(QObject *, std::function<void()> changed) override { syncChanged = std::move(changed); }
    void start(bool storeIsEmpty) override { note(storeIsEmpty ? QStringLiteral("sync.start(empty)") : QStringLiteral("sync.start")); }
    void start() override { note(QStringLiteral("updates.start")); }
    void fetchLatest(QObject *, std::function<void(std::optional<UpdateRelease>)> done) override
    {
        note(QStringLiteral("update.fetch"));
        done(std::nullopt);
    }

    bool whatsNewShouldShow() const override { const_cast<RecordingExtensions *>(this)->note(QStringLiteral("tour.due?")); return false; }
    void showWhatsNew() override { note(QStringLiteral("tour.show")); }
    void seedWelcomeClipsIfNeeded(const QDateTime &) override { note(QStringLiteral("welcome.seed")); }
    void addThanksCardIfNeeded() override { note(QStringLiteral("welcome.thanks")); }

    void seedIconsFromSourceApps() override { note(QStringLiteral("icons.seed")); }
    void startCardSizes() override { note(QStringLiteral("cardSizes.start")); }
    void activateApp() override { note(QStringLiteral("activate")); }
    void showAbout() override { note(QStringLiteral("about")); }
    void showPreferences(std::optional<int> page) override
    {
        note(page ? QStringLiteral("settings:%1").arg(*page) : QStringLiteral("settings"));
    }
    QString folderPath() const override { return QDir::homePath() + QStringLiteral("/Sync/TamoCove"); }

    bool hasWindowSwitcher() const override { return switcher; }
    void createWindowSwitcher() override { switcher = true; note(QStringLiteral("switcher.create")); }
    void destroyWindowSwitcher() override { switcher = false; note(QStringLiteral("switcher.destroy")); }
    void setMiddleClickEnabled(bool on) override { note(QStringLiteral("middleClick:%1").arg(on)); }
    bool isMiddleClickActive() const override { const_cast<RecordingExtensions *>(this)->note(QStringLiteral("middleClick?")); return false; }
    void setWindowSizerEnabled(bool on) override { note(QStringLiteral("sizer:%1").arg(on)); }
    void setInputSourceSwitching(bool on) override { note(QStringLiteral("inputSources:%1").arg(on)); }
    int unreadableTouchDevices() const override { return unreadableTouch; }
    int readTouchDevices() const override { return readTouch; }
    QList<KeyboardLayout> keyboardLayouts() const override { return layouts; }
    QString currentKeyboardLayout() const override { return currentLayout; }
    QString keyLeftOfOne() const override { return leftOfOne; }

    WindowSizeCounts windowSizeCounts() const override { return windowSizes; }
    bool tapToClick() const override { return tapping; }
    bool isWatchingAppSwitches() const override { return watchingApps; }
    bool followsWindowLayout() const override { return layoutPerWindow; }
    QList<InputSourceSwitch> recentInputSourceSwitches() const override { return switches; }
    // The window sizer's screens: a capture finds `windowToCapture`, and a
    // forgotten size leaves a connected screen fitted and drops a remembered one.
    QList<WindowSizerScreen> windowSizerScreens() const override { return sizerScreens; }
    std::optional<QSizeF> captureWindowSize(const QString &screenID) override
    {
        note(QStringLiteral("sizer.capture:") + screenID);
        for (WindowSizerScreen &screen : sizerScreens) {
            if (screen.id == screenID && screen.isConnected && windowToCapture) {
                screen.windowSize = windowToCapture;
                screen.isCaptured = true;
                return windowToCapture;
            }
        }
        return std::nullopt;
    }
    void forgetWindowSize(const QString &screenID) override
    {
        note(QStringLiteral("sizer.forget:") + screenID);
        for (WindowSizerScreen &screen : sizerScreens) {
            if (screen.id == screenID)
                screen.windowSize.reset();
        }
        sizerScreens.removeIf([&](const WindowSizerScreen &screen) { return screen.id == screenID && !screen.isConnected; });
    }

    int unreadableTouch = 0;
    int readTouch = 0;
    QList<KeyboardLayout> layouts;
    QString currentLayout;
    QString leftOfOne;
    WindowSizeCounts windowSizes;
    bool tapping = false;
    bool watchingApps = false;
    bool layoutPerWindow = false;
    QList<InputSourceSwitch> switches;
    QList<WindowSizerScreen> sizerScreens;
    std::optional<QSizeF> windowToCapture;

    AppExtensions extensions()
    {
        AppExtensions ext;
        ext.drawer = this;
        ext.menuBar = this;
        ext.sync = this;
        ext.updates = this;
        ext.onboarding = this;
        ext.windows = this;
        ext.about = this;
        ext.settings = this;
        ext.pinboardFiles = this;
        ext.cardSizes = this;
        ext.bonus = this;
        return ext;
    }
};

// One installation's fakes: scratch folders, settings and every platform facility.
struct FakePlatform
{
    PlatformServices services()
    {
        return {&defaults, &clock, &pasteboard, &workspace, &hotKeys, &poster, &accessibility,
                &alerts, &sounds, &screenshotFolder, &network};
    }

    TempDir configDir;
    TempDir storeDir;
    Defaults defaults{configDir.file(QStringLiteral("defaults.json"))};
    FakeClock clock;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    FakeGlobalHotKeys hotKeys;
    FakeEventPoster poster;
    FakeAccessibility accessibility;
    FakeAlerts alerts;
    FakeSounds sounds;
    FakeScreenshotFolder screenshotFolder;
    QNetworkAccessManager network;
    RecordingExtensions ext;
};

class AppModelFixture : public ::testing::Test, protected FakePlatform
{
protected:
    AppModel &model()
    {
        if (!m_model)
            m_model = std::make_unique<AppModel>(services(), storeDir.path(), ext.extensions());
        return *m_model;
    }

    AppModel &startedModel()
    {
        model().start();
        return model();
    }

private:
    std::unique_ptr<AppModel> m_model;
};

} // namespace tamo::testing
