#include "app/AboutPanel.h"
#include "app/AppDelegate.h"
#include "app/AppModel.h"
#include "app/CrashHandler.h"
#include "app/QuitSignals.h"
#include "app/SingleInstance.h"
#include "app/StoreOpening.h"
#include "app/TamoApp.h"
#include "bonus/BonusToolbox.h"
#include "cards/GlassSurface.h"
#include "cards/ScreenCardSizesService.h"
#include "cards/ThumbnailCache.h"
#include "drawer/DrawerAssembly.h"
#include "drawer/PanelController.h"
#include "menubar/MenuBarAssembly.h"
#include "menubar/MenuBarClipsController.h"
#include "model/DefaultSettings.h"
#include "onboarding/FeatureTour.h"
#include "onboarding/Onboarding.h"
#include "onboarding/Personalization.h"
#include "app/Product.h"
#include "onboarding/SecondCopyGuard.h"
#include "onboarding/SupportReport.h"
#include "onboarding/UpdateChecker.h"
#include "platform/AccessibleWindows.h"
#include "platform/Alerts.h"
#include "platform/AppChooser.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/CloudKeyValueStore.h"
#include "platform/Defaults.h"
#include "platform/EvdevTouchDevices.h"
#include "platform/FilePanels.h"
#include "platform/FolderWatcher.h"
#include "platform/HeapSettings.h"
#include "platform/LoginItem.h"
#include "platform/PrivateFiles.h"
#include "platform/ProgramCopies.h"
#include "platform/SessionLog.h"
#include "platform/Relauncher.h"
#include "platform/TrayStatusItem.h"
#include "platform/Workspace.h"
#include "platform/x11/X11Platform.h"
#include "settings/PreferencesWindowController.h"
#include "settings/SettingsEnvironment.h"
#include "settings/StandardPages.h"
#include "transfer/CloudSync.h"
#include "transfer/FolderSync.h"
#include "transfer/PasteImport.h"
#include "transfer/ImportProgress.h"
#include "transfer/PinboardFiles.h"
#include "transfer/PinboardPicker.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QIcon>
#include <QNetworkAccessManager>

using namespace tamo;

namespace {

QStringList absolutePaths(const QStringList &arguments)
{
    QStringList paths;
    for (const QString &argument : arguments)
        paths.append(QFileInfo(argument).absoluteFilePath());
    return paths;
}

} // namespace

int main(int argc, char **argv)
{
    giveLargeBlocksBackWhenFreed();
    const sessionlog::Recording logRecording;
    QApplication app(argc, argv);
    installAccessibleWindows();
    QApplication::setApplicationName(QStringLiteral("TamoCove"));
    QApplication::setApplicationVersion(product::version());
    CrashHandler::install(SupportReport::standardCrashFolder());
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tamocove.svg")));
    // Outside a desktop session Qt knows no icon theme; Debian always has Adwaita.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));

    const QStringList files = absolutePaths(QApplication::arguments().mid(1));
    const AppPaths paths;
    SystemClock clock;
    MessageBoxAlerts alerts;
    ProcProgramCopies programCopies;
    XdgAutostartItem loginItem(XdgAutostartItem::standardEntryPath(), QApplication::applicationFilePath());
    SecondCopyGuard guard(SecondCopyGuard::realServices(programCopies, alerts, [&loginItem] { loginItem.refresh(); },
                                                        clock, &app),
                          SecondCopyGuard::standardInstallFolders());
    const bool endedOtherCopies = guard.terminateRunningCopies();
    SingleInstance instance(paths.storeDirectory());
    if (const auto exitStatus = instance.claimOrHandOver(files, endedOtherCopies ? SecondCopyGuard::launchWaitMs : 0)) {
        if (!instance.problem().isEmpty())
            alerts.runModal(AlertSpec::failure(QStringLiteral("TamoCove cannot open its history"), instance.problem()));
        return *exitStatus;
    }
    // What earlier versions left readable to other users of this computer.
    for (const QString &folder : {paths.storeDirectory(), paths.configDirectory(), paths.cacheDirectory(),
                                  SupportReport::standardCrashFolder()})
        privatefiles::tighten(folder);

    X11Platform platform;
    if (!platform.isX11())
        qWarning("TamoCove: not running on X11; the clipboard, shortcuts and paste will not work");
    setCompositor(&platform.compositor());

    Defaults defaults(Defaults::standardFilePath(paths));
    // Before the first reads below, so that each value a key cannot use is reported.
    registerDefaultSettings(defaults);
    QNetworkAccessManager network;
    const PlatformServices services = platformServices(platform, defaults, clock, alerts, network);

    // Made before the model, which calls it; DrawerAssembly then hands it the model.
    PanelController drawerPanel(defaults, platform.screens());
    ScreenCardSizesService cardSizes(defaults, platform.screens());
    TrayStatusItem recentClipsIcon(platform.screens());
    MenuBarClipsController menuBarClips(defaults, platform.screens(), recentClipsIcon, drawerPanel,
                                        platform.clickShield(), clock);
    // Sync on or off is decided once per launch; while off nothing watches or
    // touches the sync folder.
    PollingFolderWatcher folderWatcher;
    std::unique_ptr<FolderSync> folderSync;
    CloudSync::chooseFirstLaunchDefault(defaults);
    if (CloudSync::isEnabled(defaults))
        folderSync = std::make_unique<FolderSync>(FolderSync::folderPath(defaults), folderWatcher);
    NullKeyValueStore noSharedSettings;
    CloudKeyValueStore &sharedSettings = folderSync ? folderSync->keyValues() : static_cast<CloudKeyValueStore &>(noSharedSettings);
    CloudSync cloudSync(defaults, clock, sharedSettings, folderSync.get());
    DialogFilePanels filePanels;
    DialogPinboardPicker pinboardPicker;
    ImportProgressWindow importProgress;
    PinboardFiles pinboardFiles(defaults, alerts, filePanels, pinboardPicker, importProgress, clock);
    EvdevTouchDevices touchDevices;
    LogindSystemSleep systemSleep;
    BonusToolbox bonusTools({&platform.windowServer(), &platform.accessibility(), &defaults, &platform.screens(),
                             &drawerPanel, &platform.accessibleTree(), &platform.launcherBadges(),
                             &platform.eventPoster(), &network, &clock,
                             paths.cacheDirectory() + QStringLiteral("/Favicons"), &platform.workspace(),
                             &platform.keyboardLayouts(), &touchDevices, &platform.clickConverter(), &systemSleep},
                            QCoreApplication::applicationPid());
    DialogPasteVersionPrompt pasteVersionPrompt;
    PasteHistoryImport pasteImport(defaults, alerts, pasteVersionPrompt, importProgress,
                                   PasteImporter::ReadEnvironment::standard([&platform] {
                                       return platform.workspace().isInstalled(QStringLiteral("com.wiheads.paste"));
                                   }));
    AboutPanel about;
    PreferencesWindowController preferences;
    UpdateChecker updates({defaults, clock, network, alerts, platform.workspace(), drawerPanel});
    Onboarding onboarding(defaults, guard);
    AppExtensions extensions;
    extensions.about = &about;
    extensions.settings = &preferences;
    extensions.updates = &updates;
    extensions.onboarding = &onboarding;
    extensions.windows = &pasteImport;
    extensions.bonus = &bonusTools;
    extensions.sync = &cloudSync;
    extensions.keyValueStore = &sharedSettings;
    extensions.drawer = &drawerPanel;
    extensions.pinboardFiles = &pinboardFiles;
    extensions.menuBar = &menuBarClips;
    extensions.cardSizes = &cardSizes;
    const std::unique_ptr<AppModel> model = openAppModel(services, paths.storeDirectory(), extensions);
    if (!model)
        return 1;
    pinboardFiles.attach(*model);
    pasteImport.attach(*model);
    bonusTools.attach(model->hotKeyRegistry());
    SupportReport supportReport(*model, defaults, filePanels, platform.screens(), SupportReport::standardCrashFolder());
    FeatureTour tour({*model, defaults});
    ThumbnailCache sampleThumbnails;
    Personalization personalization({*model, defaults, sampleThumbnails});
    onboarding.attach(*model, {tour, personalization, supportReport});

    if (folderSync)
        folderSync->attach(model->container());

    ProcessRelauncher relauncher(QCoreApplication::applicationFilePath());
    DialogAppChooser appChooser(platform.workspace(), platform.windowServer());
    SettingsEnvironment settings{*model, defaults, alerts, loginItem, relauncher, appChooser, platform.screens()};
    preferences.setPages(standardSettingsPages(settings));

    DrawerAssembly drawer(drawerPanel, *model, defaults, clock);
    MenuBarAssembly menuBar(menuBarClips, *model, defaults, clock);
    TrayStatusItem trayIcon(platform.screens());
    TamoApp tamoApp(*model, defaults, trayIcon);
    menuBar.setAppMenu(tamoApp.menu());
    AppDelegate delegate(*model, defaults);
    QObject::connect(&instance, &SingleInstance::activated, &app,
                     [&delegate](const QStringList &handed) { delegate.launchedAgain(handed); });
    delegate.finishLaunching();
    StoreVerifier storeVerifier(paths.storeDirectory(), alerts, relauncher);
    QObject::connect(&storeVerifier, &StoreVerifier::quitRequested, &app, &QCoreApplication::quit);
    storeVerifier.start();
    delegate.openFiles(files);

    QuitSignals quitSignals;
    const int status = QApplication::exec();
    defaults.flush();
    return status;
}
