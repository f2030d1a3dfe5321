#include "app/AppModel.h"

#include "app/AppIcons.h"
#include "app/ClipboardMonitor.h"
#include "app/GlobalHotKeyRegistry.h"
#include "app/HotKey.h"
#include "app/LinkPreviews.h"
#include "app/PasteboardWriter.h"
#include "app/ScreenshotWatcher.h"
#include "app/WaitingCopies.h"
#include "model/ClipLibrary.h"
#include "model/DefaultSettings.h"
#include "model/History.h"
#include "model/LocalRecords.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "model/Selection.h"
#include "model/SourceAppPublisher.h"
#include "model/StoreMaintenance.h"
#include "platform/Accessibility.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"
#include "platform/CloudKeyValueStore.h"
#include "platform/Defaults.h"
#include "platform/EventPoster.h"
#include "platform/QuitShortcut.h"
#include "platform/Sounds.h"
#include "platform/SystemLog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFutureWatcher>
#include <QTimer>
#include <QtConcurrent>

namespace tamo {

namespace {

constexpr int pruneIntervalMs = 3600 * 1000;
constexpr int permissionPollMs = 1000;
constexpr int pasteDelayMs = 50;
constexpr int onboardingDelayMs = 2000;
constexpr qint64 menuBarReopenGuardMs = 300;
const QString whatsNewVersion = QStringLiteral("1.74");
const QString captureSound = QStringLiteral("Bottle");
// How long a quit waits for the copies made just before it.
constexpr int quitCaptureMs = 2000;

} // namespace

struct AppModel::NullExtensions
{
    DrawerPanel drawer;
    MenuBarPanel menuBar;
    CloudSyncService sync;
    NullKeyValueStore keyValueStore;
    UpdateService updates;
    OnboardingService onboarding;
    AppWindows windows;
    AboutWindow about;
    SettingsWindow settings;
    PinboardFileService pinboardFiles;
    CardSizesService cardSizes;
    BonusTools bonus;
};

AppModel::AppModel(const PlatformServices &services, const QString &storeDirectory, const AppExtensions &extensions,
                   QObject *parent)
    : QObject(parent)
    , m_platform(services)
    , m_ext(extensions)
    , m_nullExtensions(std::make_unique<NullExtensions>())
{
    // Sync and updates exist before the stores open; the rest of the state
    // starts empty.
    auto orNull = [](auto *&given, auto &fallback) {
        if (!given)
            given = &fallback;
    };
    orNull(m_ext.drawer, m_nullExtensions->drawer);
    orNull(m_ext.menuBar, m_nullExtensions->menuBar);
    orNull(m_ext.sync, m_nullExtensions->sync);
    orNull(m_ext.keyValueStore, m_nullExtensions->keyValueStore);
    orNull(m_ext.updates, m_nullExtensions->updates);
    orNull(m_ext.onboarding, m_nullExtensions->onboarding);
    orNull(m_ext.windows, m_nullExtensions->windows);
    orNull(m_ext.about, m_nullExtensions->about);
    orNull(m_ext.settings, m_nullExtensions->settings);
    orNull(m_ext.pinboardFiles, m_nullExtensions->pinboardFiles);
    orNull(m_ext.cardSizes, m_nullExtensions->cardSizes);
    orNull(m_ext.bonus, m_nullExtensions->bonus);

    m_accessibilityGranted = m_platform.accessibility->isTrusted();
    m_isExistingInstall = ModelContainer::syncedStoreExists(storeDirectory);
    m_container = std::make_unique<ModelContainer>(storeDirectory);

    ModelContext &context = m_container->mainContext();
    Defaults &defaults = *m_platform.defaults;
    m_icons = std::make_unique<AppIcons>(*m_platform.workspace);
    m_sourceApps = std::make_unique<SourceAppPublisher>(context, *m_ext.sync, m_icons.get());
    m_clips = std::make_unique<ClipLibrary>(context, *m_platform.clock, *m_sourceApps);
    m_pinboards = std::make_unique<Pinboards>(context);
    m_history = std::make_unique<History>(context, defaults, *m_platform.clock, *m_ext.sync, *m_ext.keyValueStore);
    m_maintenance = std::make_unique<StoreMaintenance>(context);
    m_writer = std::make_unique<PasteboardWriter>(*m_platform.pasteboard, *m_clips);
    m_hotKeyRegistry = std::make_unique<GlobalHotKeyRegistry>(*m_platform.hotKeys, defaults);
    m_hotKey = std::make_unique<HotKey>(*m_hotKeyRegistry, defaults);
    m_linkPreviews = new LinkPreviews(context, defaults, *m_platform.network, {}, this);
    m_waitingCopies = std::make_unique<WaitingCopies>(*m_container);
    connect(m_waitingCopies.get(), &WaitingCopies::saved, this, &AppModel::placeWaitingCopy);
    m_saveRetry = new QTimer(this);
    m_saveRetry->setSingleShot(true);
    m_saveRetry->setInterval(saveRetryMilliseconds);
    connect(m_saveRetry, &QTimer::timeout, this, &AppModel::retryUnsavedCopies);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppModel::saveBeforeQuit);
    setQuitAction([this] { quit(); });
}

AppModel::~AppModel()
{
    setQuitAction({});
}

template<typename T>
void AppModel::update(T &field, const T &value, void (AppModel::*changed)())
{
    if (field == value)
        return;
    field = value;
    emit(this->*changed)();
}

void AppModel::setSelectedPinboardID(const QUuid &id) { update(m_selectedPinboardID, id, &AppModel::selectedPinboardIDChanged); }
void AppModel::setSelectedItemID(const QUuid &id) { update(m_selectedItemID, id, &AppModel::selectedItemIDChanged); }
void AppModel::setMultiSelection(const QSet<QUuid> &ids) { update(m_multiSelection, ids, &AppModel::multiSelectionChanged); }
void AppModel::setPreviewItemID(const QUuid &id) { update(m_previewItemID, id, &AppModel::previewItemIDChanged); }
void AppModel::setRenamingPinboardID(const QUuid &id) { update(m_renamingPinboardID, id, &AppModel::renamingPinboardIDChanged); }
void AppModel::setReorderingPinboards(bool reordering) { update(m_isReorderingPinboards, reordering, &AppModel::reorderingPinboardsChanged); }
void AppModel::setDraggedPinboardID(const QUuid &id) { update(m_draggedPinboardID, id, &AppModel::draggedPinboardIDChanged); }
void AppModel::setRenamingItemID(const QUuid &id) { update(m_renamingItemID, id, &AppModel::renamingItemIDChanged); }
void AppModel::setRenamingInMenuBar(bool inMenuBar) { update(m_renamingInMenuBar, inMenuBar, &AppModel::renamingInMenuBarChanged); }
void AppModel::setIconPickerItemID(const QUuid &id) { update(m_iconPickerItemID, id, &AppModel::iconPickerItemIDChanged); }
void AppModel::setSearchText(const QString &text) { update(m_searchText, text, &AppModel::searchTextChanged); }
void AppModel::setSearchOpened(bool opened) { update(m_searchOpened, opened, &AppModel::searchOpenedChanged); }
void AppModel::setSearchFilters(const QList<SearchFilter> &filters) { update(m_searchFilters, filters, &AppModel::searchFiltersChanged); }
void AppModel::setVisibleItemIDs(const QList<QUuid> &ids) { update(m_visibleItemIDs, ids, &AppModel::visibleItemIDsChanged); }

void AppModel::bumpFocusToken()
{
    ++m_focusToken;
    emit focusTokenChanged();
}

bool AppModel::isSearchActive() const
{
    return m_searchOpened || !m_searchText.isEmpty() || !m_searchFilters.isEmpty();
}

bool AppModel::isOrderedPreviewOpen() const
{
    return !m_previewItemID.isNull() && m_previewOrder.has_value();
}

// ---------------------------------------------------------------- start-up

void AppModel::mergeDuplicatesInBackground()
{
    // Finding repeated content reads every hash of the history: off the main
    // thread, so a long history does not hold up capture. Only imports and
    // sync bring repeats, and they merge their own; this catches what a crash
    // left unmerged.
    auto *scan = new QFutureWatcher<QStringList>(this);
    connect(scan, &QFutureWatcherBase::finished, this, [this, scan] {
        const QStringList hashes = scan->result();
        scan->deleteLater();
        if (!hashes.isEmpty())
            forgetClips(m_maintenance->mergeDuplicates(hashes));
    });
    scan->setFuture(QtConcurrent::run(&StoreMaintenance::sharedContentHashes, m_container->storeDirectory()));
}

void AppModel::start()
{
    if (m_started)
        return;
    m_started = true;
    Defaults &defaults = *m_platform.defaults;

    m_startTime = m_platform.clock->now();
    migrateInstallDependentDefaults();
    replaceRetiredDefaults(defaults);
    registerDefaultSettings(defaults);
    m_ext.cardSizes->startCardSizes();

    // What is on the clipboard at launch was copied before we ran: not captured.
    m_monitor = new ClipboardMonitor(*m_platform.pasteboard, *m_platform.workspace, defaults, this);
    connect(m_monitor, &ClipboardMonitor::captured, this, &AppModel::ingest);
    m_monitor->start();

    showOnboardingIfNeeded();

    m_screenshots = new ScreenshotWatcher(*m_platform.screenshotFolder, *m_platform.pasteboard, *m_platform.alerts, this);
    if (defaults.boolValue(keys::captureScreenshots))
        m_screenshots->start();

    QPointer<AppModel> self(this);
    m_hotKeyRegistry->setHandler(MainShortcutSlot, [self] {
        if (self)
            self->handleHotKey();
    });
    m_hotKey->registerFromDefaults();

    applyWindowSwitcher();
    m_ext.bonus->setMiddleClickEnabled(defaults.boolValue(keys::threeFingerMiddleClick));
    m_ext.bonus->setWindowSizerEnabled(defaults.boolValue(keys::windowSizeEnabled));
    m_ext.bonus->setInputSourceSwitching(defaults.boolValue(keys::inputSourceByApp));

    connectCloudSync();

    mergeDuplicatesInBackground();
    m_maintenance->removeOrphanLocalRecords();
    m_sourceApps->publishAll();
    m_ext.pinboardFiles->seedIconsFromSourceApps();
    if (!(m_ext.sync->isEnabled() && !m_ext.sync->importedOnce())) {
        m_ext.onboarding->seedWelcomeClipsIfNeeded(m_startTime);
        m_ext.onboarding->addThanksCardIfNeeded();
    }
    trimHistory();

    m_pruneTimer = new QTimer(this);
    m_pruneTimer->setInterval(pruneIntervalMs);
    connect(m_pruneTimer, &QTimer::timeout, this, &AppModel::trimHistory);
    m_pruneTimer->start();

    m_ext.updates->start();

    refreshPermissions();
    m_permissionTimer = new QTimer(this);
    m_permissionTimer->setInterval(permissionPollMs);
    connect(m_permissionTimer, &QTimer::timeout, this, &AppModel::refreshPermissions);
    m_permissionTimer->start();

    // Once the launch is over and capture runs: copies made while the user
    // reads the alert are captured from its event loop, not lost.
    QTimer::singleShot(0, this, &AppModel::reportSettingsProblem);
}

void AppModel::reportSettingsProblem()
{
    if (const auto problem = m_platform.defaults->loadProblem())
        m_platform.alerts->runModal(AlertSpec::failure(QStringLiteral("TamoCove could not read its settings"), *problem));
}

void AppModel::migrateInstallDependentDefaults()
{
    // Written only where never written, before the defaults are registered
    // (a registered default does not count as written). A new installation
    // gets the glass cards and its bonus tools off; direct paste needs no
    // permission on X11, so it is on wherever synthetic input works. An
    // older installation keeps the classic cards it had.
    Defaults &defaults = *m_platform.defaults;
    auto writeOnce = [&defaults](const QString &key, const QVariant &value) {
        if (!defaults.hasPersistentValue(key))
            defaults.setValue(key, value);
    };
    writeOnce(keys::threeFingerMiddleClick, false);
    writeOnce(keys::cardStyle, rawValue(m_isExistingInstall ? CardStyle::classic : CardStyle::glass));
    writeOnce(keys::directPaste, !m_isExistingInstall && m_platform.accessibility->isTrusted());
}

void AppModel::connectCloudSync()
{
    QPointer<AppModel> self(this);
    const QDateTime startTime = m_startTime;
    m_ext.sync->onImport = [self, startTime] {
        if (self)
            self->handleCloudImport(startTime);
    };
    m_ext.sync->onCapacityChange = [self] {
        if (self)
            self->trimHistory();
    };
    m_ext.sync->onAccountUnavailable = [self, startTime] {
        if (!self)
            return;
        self->m_ext.onboarding->seedWelcomeClipsIfNeeded(startTime);
        self->m_ext.onboarding->addThanksCardIfNeeded();
    };
    // A failed count is treated as not empty: "empty" would let another
    // machine's capacity replace this one's.
    const int count = m_container->mainContext().fetchCount<ClipItem>(FetchDescriptor().limited(1));
    m_ext.sync->start(count == 0);
}

void AppModel::showOnboardingIfNeeded()
{
    Defaults &defaults = *m_platform.defaults;
    const bool personalize = !defaults.boolValue(keys::personalizeShown);
    const bool tourShouldShow = m_ext.onboarding->whatsNewShouldShow();
    const bool tourDue = tourShouldShow && (m_isExistingInstall || personalize);
    if (tourShouldShow && !tourDue)
        defaults.setValue(keys::whatsNewShown, whatsNewVersion);
    if (!personalize && !tourDue)
        return;
    QPointer<AppModel> self(this);
    QTimer::singleShot(onboardingDelayMs, this, [self, personalize, tourDue] {
        if (!self)
            return;
        OnboardingService *onboarding = self->m_ext.onboarding;
        auto openTour = [onboarding, tourDue] {
            if (tourDue)
                onboarding->showWhatsNew();
        };
        if (personalize)
            onboarding->presentPersonalize(openTour);
        else
            openTour();
    });
}

void AppModel::handleCloudImport(const QDateTime &startTime)
{
    forgetClips(m_maintenance->mergeDuplicates());
    trimHistory();
    m_ext.pinboardFiles->seedIconsFromSourceApps();
    m_ext.onboarding->seedWelcomeClipsIfNeeded(startTime);
    m_ext.onboarding->addThanksCardIfNeeded();
}

void AppModel::trimHistory()
{
    forgetClips(m_history->trimHistory());
}

// ---------------------------------------------------------------- capture

void AppModel::ingest(const ClipDraft &draft)
{
    // Behind copies that wait for the store, in copy order, and without
    // waiting for its lock once more.
    if (!m_waitingCopies->isEmpty()) {
        m_waitingCopies->add(draft, m_platform.clock->now());
        playCaptureSound();
        return;
    }
    ModelContext &context = m_container->mainContext();
    const IngestResult result = m_clips->ingestUnsaved(draft);
    if (!context.save()) {
        if (context.lastSaveFoundStoreHeld() && result.isNew)
            waitForStore(result.clip, draft);
        else
            reportUnsavedCopy();
        return;
    }
    m_toldDiskFull = false;
    playCaptureSound();
    if (result.clip->kind() == ClipKind::link)
        m_linkPreviews->request(result.clip);
}

void AppModel::playCaptureSound()
{
    if (m_platform.defaults->boolValue(keys::soundEffects))
        m_platform.sounds->play(captureSound);
}

// Another process holds the store: the copy leaves the main context for the
// copies that wait for it off this thread, so no later copy waits here again
// and none holds its content in the context until then.
void AppModel::waitForStore(const ClipItemPtr &clip, const ClipDraft &draft)
{
    ModelContext &context = m_container->mainContext();
    qWarning().noquote() << QStringLiteral("TamoCove: could not save a copied clip yet: %1; it waits for the store")
                                .arg(context.lastError());
    for (const LocalImagePtr &image : context.pendingInserts<LocalImage>()) {
        if (image->clipID() == clip->id())
            context.discardInsert(image);
    }
    context.discardInsert(clip);
    m_waitingCopies->add(draft, clip->createdAt());
    playCaptureSound();
}

void AppModel::placeWaitingCopy(const SavedCopy &copy)
{
    ModelContext &context = m_container->mainContext();
    context.refreshAfterExternalChange({{QLatin1String(ClipItem::spec().name), {copy.storeKey}}});
    m_sourceApps->publish(copy.draft.sourceBundleID, copy.draft.sourceAppName);
    if (context.hasChanges() && !m_saveRetry->isActive())
        m_saveRetry->start();
    if (copy.isNew && copy.draft.kind == ClipKind::link) {
        const auto clips = context.fetch<ClipItem>(
            FetchDescriptor().where(ClipItem::IdColumn, FetchDescriptor::Compare::equal, copy.clipID).limited(1));
        if (!clips.isEmpty())
            m_linkPreviews->request(clips.first());
    }
}

// The copy stays pending and goes in with the next save that succeeds. A full
// disk needs the user, so it is told once, in an alert of its own turn of the
// event loop: the capture that found it must not wait on it. A store another
// connection held past the wait is tried again soon, not only with the next copy.
void AppModel::reportUnsavedCopy()
{
    const ModelContext &context = m_container->mainContext();
    qWarning().noquote() << QStringLiteral("TamoCove: could not save a copied clip yet: %1").arg(context.lastError());
    if (!context.lastSaveFoundDiskFull()) {
        // One try for every copy waiting: a try per copy would hold the
        // window once for each of them.
        if (!m_saveRetry->isActive())
            m_saveRetry->start();
        return;
    }
    if (m_toldDiskFull)
        return;
    m_toldDiskFull = true;
    showAlertSoon(AlertSpec::failure(QStringLiteral("TamoCove cannot save new clips: the disk is full"),
                                     QStringLiteral("Your copies are kept until there is room. Free some space on "
                                                    "the disk and they are saved with your next copy.")));
}

void AppModel::retryUnsavedCopies()
{
    ModelContext &context = m_container->mainContext();
    if (context.hasChanges() && !context.save())
        reportUnsavedCopy();
}

void AppModel::deleteAsked(const std::function<QList<QUuid>()> &deletion)
{
    const ModelContext &context = m_container->mainContext();
    bool undone = false;
    const QMetaObject::Connection watch =
        connect(&context, &ModelContext::removalsTakenBack, this, [&undone] { undone = true; });
    forgetClips(deletion());
    disconnect(watch);
    if (!undone)
        return;
    // The store took the deletion back at once and lists the clips again.
    if (context.lastSaveFoundDiskFull()) {
        showAlertSoon(AlertSpec::failure(QStringLiteral("TamoCove cannot delete: the disk is full"),
                                         QStringLiteral("Nothing was deleted. Free some space on the disk and try again.")));
        return;
    }
    showAlertSoon(AlertSpec::failure(QStringLiteral("TamoCove could not delete"),
                                     QStringLiteral("Nothing was deleted: %1").arg(context.lastError())));
}

void AppModel::showAlertSoon(const AlertSpec &alert)
{
    QMetaObject::invokeMethod(this, [this, alert] { m_platform.alerts->runModal(alert); }, Qt::QueuedConnection);
}

void AppModel::quit()
{
    ModelContext &context = m_container->mainContext();
    const qsizetype waiting = context.save() ? 0 : context.pendingInserts<ClipItem>().size();
    if (waiting > 0) {
        const QString reason = context.lastSaveFoundDiskFull() ? QString() : context.lastError();
        if (m_platform.alerts->runModal(unsavedCopiesAlert(waiting, reason)) != 0)
            return;
    }
    // Quitting saves once more: what the disk takes by now is kept.
    QCoreApplication::quit();
}

AlertSpec AppModel::unsavedCopiesAlert(qsizetype count, const QString &reason)
{
    const QString clips = count == 1 ? QStringLiteral("1 copied clip") : QStringLiteral("%1 copied clips").arg(count);
    return {
        QStringLiteral("TamoCove has not saved %1").arg(clips),
        reason.isEmpty()
            ? QStringLiteral("The disk is full. Free some space on it before you choose Quit, and they are saved as "
                             "TamoCove quits; otherwise they are lost.")
            : QStringLiteral("They could not be written: %1. Unless they can be when TamoCove quits, they are lost.")
                  .arg(reason),
        {QStringLiteral("Quit"), QStringLiteral("Keep Running")},
        0,
        AlertSpec::Style::warning,
    };
}

// Copies made before the quit are still read, for at most 2 s, and copies
// that waited for room get one last save; what it cannot keep is counted
// where the user who quit can still read it, also after a kill.
void AppModel::saveBeforeQuit()
{
    if (m_monitor) {
        if (const qsizetype left = m_monitor->finish(QDeadlineTimer(quitCaptureMs)))
            qWarning().noquote() << QStringLiteral("TamoCove: quitting without %1 copies their apps did not give in time")
                                        .arg(left);
    }
    ModelContext &context = m_container->mainContext();
    if (const qsizetype waiting = m_waitingCopies->finish(QDeadlineTimer(quitStoreWaitMs))) {
        qWarning().noquote() << QStringLiteral("TamoCove: %1 copied clips still wait for the store; they are kept in %2 "
                                               "and saved at the next start")
                                    .arg(waiting)
                                    .arg(QDir(m_container->storeDirectory()).filePath(QLatin1String(WaitingCopies::folderName)));
    }
    if (context.save())
        return;
    const QString lost = QStringLiteral("quitting without %1 copied clips that could not be saved: %2")
                             .arg(context.pendingInserts<ClipItem>().size())
                             .arg(context.lastError());
    qWarning().noquote() << QStringLiteral("TamoCove: ") + lost;
    writeSystemLog(QStringLiteral("store"), lost);
}

// ---------------------------------------------------------------- paste

QString AppModel::readyMessage(qsizetype count)
{
    return count == 1 ? QStringLiteral("Clip is ready") : QStringLiteral("%1 clips are ready").arg(count);
}

void AppModel::writeToPasteboard(const QList<ClipItemPtr> &clips, bool plainText)
{
    const std::optional<int> change = m_writer->write(clips, plainText);
    if (change && m_monitor)
        m_monitor->skipChange(*change); // our own write is no new copy
}

void AppModel::paste(const QList<ClipItemPtr> &clips, bool plainText)
{
    if (clips.isEmpty())
        return;
    Defaults &defaults = *m_platform.defaults;
    writeToPasteboard(clips, plainText || defaults.boolValue(keys::alwaysPlainText));
    // Without animation: the paste chord must not reach a panel still fading out.
    m_ext.drawer->hide(false);
    m_ext.menuBar->hidePanel(false);

    if (defaults.boolValue(keys::directPaste)) {
        if (m_platform.accessibility->isTrusted()) {
            QPointer<EventPoster> poster(m_platform.eventPoster);
            QTimer::singleShot(pasteDelayMs, this, [poster] {
                if (poster)
                    poster->postPaste();
            });
        } else {
            m_platform.accessibility->promptForTrust();
        }
        return;
    }
    m_ext.drawer->showPasteNotice(readyMessage(clips.size()));
}

void AppModel::copyToClipboard(const QList<ClipItemPtr> &clips)
{
    if (clips.isEmpty())
        return;
    writeToPasteboard(clips, false);
    m_ext.drawer->hide(true);
    m_ext.menuBar->hidePanel(true);
    m_ext.drawer->showReadyToast(readyMessage(clips.size()));
}

// ---------------------------------------------------------------- clips

void AppModel::pin(const QList<ClipItemPtr> &clips, const Pinboard &pinboard)
{
    if (clips.isEmpty() || !m_clips->pin(clips, pinboard))
        return;
    const QString message = clips.size() == 1
        ? QStringLiteral("Pinned to ") + pinboard.name()
        : QStringLiteral("Pinned %1 Clips to ").arg(clips.size()) + pinboard.name();
    m_ext.drawer->showToast(message, QStringLiteral("pin.circle.fill"));
}

void AppModel::unpin(const QList<ClipItemPtr> &clips)
{
    m_clips->unpin(clips);
    setMultiSelection({});
}

void AppModel::deleteItems(const QList<ClipItemPtr> &clips)
{
    deleteAsked([&] { return m_clips->deleteClips(clips); });
}

void AppModel::forgetClips(const QList<QUuid> &removed)
{
    if (removed.isEmpty())
        return;
    const QSet<QUuid> gone(removed.cbegin(), removed.cend());
    if (gone.contains(m_selectedItemID))
        setSelectedItemID({});
    QSet<QUuid> remaining = m_multiSelection - gone;
    setMultiSelection(remaining.size() >= 2 ? remaining : QSet<QUuid>());
    if (gone.contains(m_selectionAnchor))
        m_selectionAnchor = {};
    if (m_previewOrder) {
        m_previewOrder->removeIf([&gone](const QUuid &id) { return gone.contains(id); });
    }
    if (gone.contains(m_previewItemID))
        closePreview();
}

void AppModel::closePreview()
{
    m_previewOrder.reset();
    setPreviewItemID({});
    m_ext.drawer->closePreview();
}

void AppModel::beginRenaming(const ClipItem &clip, bool inMenuBar)
{
    setSelectedItemID(clip.id());
    setRenamingInMenuBar(inMenuBar);
    setRenamingItemID(clip.id());
}

void AppModel::endRenaming()
{
    setRenamingItemID({});
    bumpFocusToken();
}

void AppModel::openIconPicker(const ClipItem &clip)
{
    setSelectedItemID(clip.id());
    setIconPickerItemID(clip.id());
}

void AppModel::openPreview(const ClipItem &clip, const std::optional<QList<QUuid>> &order)
{
    if (clip.id() == m_previewItemID) {
        closePreview();
        return;
    }
    m_previewOrder = order;
    setPreviewItemID(clip.id());
    m_ext.drawer->showPreview();
}

void AppModel::select(const ClipItem &clip)
{
    QSet<QUuid> selection = m_multiSelection;
    if (selection.isEmpty() && !m_selectedItemID.isNull())
        selection.insert(m_selectedItemID);
    QUuid current = m_selectedItemID;
    if (selection.contains(clip.id())) {
        selection.remove(clip.id());
    } else {
        selection.insert(clip.id());
        current = clip.id();
    }
    if (!selection.contains(current))
        current = selection.isEmpty() ? QUuid() : *selection.cbegin();
    setSelectedItemID(current);
    setMultiSelection(selection.size() >= 2 ? selection : QSet<QUuid>());
    m_selectionAnchor = current;
}

void AppModel::selectRange(const QUuid &clipID, const QList<QUuid> &orderedIDs)
{
    QUuid anchor = clipID;
    if (!m_multiSelection.isEmpty() && !m_selectionAnchor.isNull())
        anchor = m_selectionAnchor;
    else if (!m_selectedItemID.isNull())
        anchor = m_selectedItemID;
    const QSet<QUuid> range = rangeSelection(anchor, clipID, orderedIDs);
    setMultiSelection(range.size() >= 2 ? range : QSet<QUuid>());
    setSelectedItemID(clipID);
    m_selectionAnchor = anchor;
}

// ---------------------------------------------------------------- pinboards

void AppModel::cyclePinboard(bool forward)
{
    QList<QUuid> entries{QUuid()}; // the history first
    for (const PinboardPtr &pinboard : m_pinboards->orderedPinboards())
        entries.append(pinboard->id());
    const qsizetype current = std::max<qsizetype>(0, entries.indexOf(m_selectedPinboardID));
    const qsizetype step = forward ? 1 : entries.size() - 1;
    setSelectedPinboardID(entries[(current + step) % entries.size()]);
    setSelectedItemID({});
    setMultiSelection({});
}

PinboardPtr AppModel::newPinboard()
{
    PinboardPtr pinboard = m_pinboards->newPinboard();
    setRenamingPinboardID(pinboard->id());
    return pinboard;
}

void AppModel::commitPinboardRename(Pinboard &pinboard)
{
    m_pinboards->commitRename(pinboard);
    setRenamingPinboardID({});
    bumpFocusToken();
}

void AppModel::setPinboardColor(int colorIndex, Pinboard &pinboard)
{
    m_pinboards->setColor(colorIndex, pinboard);
}

void AppModel::deletePinboard(const PinboardPtr &pinboard)
{
    const QUuid id = pinboard->id();
    deleteAsked([&] {
        m_pinboards->deletePinboard(pinboard);
        return QList<QUuid>(); // its clips stay in the history
    });
    const bool deleted = !pinboard->isInserted() || pinboard->isGone();
    if (deleted && m_selectedPinboardID == id) {
        setSelectedPinboardID({});
        setSelectedItemID({});
    }
}

void AppModel::movePinboard(const QUuid &draggedID, const QUuid &targetID)
{
    m_pinboards->movePinboard(draggedID, targetID);
}

void AppModel::endPinboardReorder()
{
    setReorderingPinboards(false);
    setDraggedPinboardID({});
    m_pinboards->saveOrder();
}

// ---------------------------------------------------------------- search

void AppModel::openSearch()
{
    setSearchOpened(true);
    bumpFocusToken();
}

void AppModel::resetSearch()
{
    setSearchText({});
    setSearchFilters({});
    setSearchOpened(false);
    bumpFocusToken();
}

void AppModel::toggleSearchFilter(const SearchFilter &filter)
{
    QList<SearchFilter> filters = m_searchFilters;
    if (filters.contains(filter)) {
        filters.removeAll(filter);
    } else {
        filters.append(filter);
        setSearchOpened(true);
    }
    setSearchFilters(filters);
    bumpFocusToken();
}

void AppModel::resetTransientState()
{
    setIconPickerItemID({});
    setSelectedPinboardID({});
    setSelectedItemID({});
    setRenamingPinboardID({});
    setRenamingItemID({});
    setMultiSelection({});
    setSearchText({});
    setSearchFilters({});
    ++m_presentationToken;
    emit presentationTokenChanged();
    bumpFocusToken();
}

QList<AppModel::SourceAppFilter> AppModel::sourceAppFilters(int limit)
{
    QList<SourceAppFilter> filters;
    for (const SourceAppCount &app : m_container->mainContext().sourceAppsByClipCount(limit)) {
        QString name = app.name.isEmpty() ? app.bundleID : app.name;
        if (name.endsWith(QStringLiteral(".app")))
            name.chop(4);
        filters.append({app.bundleID, name});
    }
    return filters;
}

// ---------------------------------------------------------------- windows and history

void AppModel::handleHotKey()
{
    if (m_ext.bonus->isWindowSwitcherVisible())
        m_ext.bonus->hideWindowSwitcher();

    const bool toMenuBar = m_platform.defaults->string(keys::shortcutTarget) == rawValue(ShortcutTarget::menuBar);
    if (toMenuBar && m_ext.menuBar->hasStatusItem()) {
        m_ext.drawer->hide(false);
        if (m_ext.menuBar->isPanelVisible()) {
            m_ext.menuBar->hidePanel(true);
            return;
        }
        // The press that closed the panel by taking its focus must not reopen it.
        const QDateTime resigned = m_ext.menuBar->lastResign();
        if (!resigned.isValid() || resigned.msecsTo(m_platform.clock->now()) > menuBarReopenGuardMs)
            m_ext.menuBar->showPanel();
        return;
    }
    m_ext.menuBar->hidePanel(false);
    if (m_ext.drawer->isVisible())
        m_ext.drawer->hide(true);
    else
        openDrawer();
}

void AppModel::openDrawer()
{
    if (m_ext.bonus->isWindowSwitcherVisible())
        m_ext.bonus->hideWindowSwitcher();
    notePasteTarget();
    m_ext.drawer->showStrip();
}

void AppModel::notePasteTarget()
{
    m_platform.eventPoster->rememberFrontWindow();
}

void AppModel::showPreferences(std::optional<int> page)
{
    m_ext.drawer->hide(false);
    m_ext.settings->showPreferences(page);
}

void AppModel::showAbout()
{
    m_ext.drawer->hide(false);
    m_ext.menuBar->hidePanel(false);
    m_ext.about->showAbout();
}

void AppModel::checkForUpdates()
{
    m_ext.updates->check(true);
}

void AppModel::clearHistory()
{
    m_ext.drawer->hide(false);
    m_ext.windows->activateApp();
    deleteAsked([this] { return m_history->clearHistory(*m_platform.alerts); });
}

void AppModel::clearLast24Hours()
{
    m_ext.drawer->hide(false);
    m_ext.windows->activateApp();
    deleteAsked([this] { return m_history->clearLast24Hours(*m_platform.alerts); });
}

bool AppModel::setHistoryCapacity(int capacity)
{
    const auto value = historyCapacityFromRaw(capacity);
    return value && m_history->setHistoryCapacity(*value, *m_platform.alerts);
}

// ---------------------------------------------------------------- permissions and switches

void AppModel::refreshPermissions()
{
    const bool trusted = m_platform.accessibility->isTrusted();
    if (trusted != m_accessibilityGranted) {
        m_accessibilityGranted = trusted;
        emit accessibilityGrantedChanged();
        applyWindowSwitcher();
    }
    update(m_middleClickActive, m_ext.bonus->isMiddleClickActive(), &AppModel::middleClickActiveChanged);
}

void AppModel::writeSwitchNeedingTrust(const QString &key, bool enabled)
{
    m_platform.defaults->setValue(key, enabled);
    if (enabled && !m_platform.accessibility->isTrusted())
        m_platform.accessibility->promptForTrust();
}

void AppModel::setDirectPaste(bool enabled)
{
    writeSwitchNeedingTrust(keys::directPaste, enabled);
}

void AppModel::setWindowSwitcherEnabled(bool enabled)
{
    writeSwitchNeedingTrust(keys::windowSwitcherEnabled, enabled);
    applyWindowSwitcher();
}

void AppModel::setWindowSizeEnabled(bool enabled)
{
    writeSwitchNeedingTrust(keys::windowSizeEnabled, enabled);
    m_ext.bonus->setWindowSizerEnabled(enabled);
}

void AppModel::setThreeFingerMiddleClick(bool enabled)
{
    writeSwitchNeedingTrust(keys::threeFingerMiddleClick, enabled);
    m_ext.bonus->setMiddleClickEnabled(enabled);
}

void AppModel::setInputSourceByApp(bool enabled)
{
    m_platform.defaults->setValue(keys::inputSourceByApp, enabled);
    m_ext.bonus->setInputSourceSwitching(enabled);
}

void AppModel::applyWindowSwitcher()
{
    if (m_platform.defaults->boolValue(keys::windowSwitcherEnabled) && m_platform.accessibility->isTrusted()) {
        if (!m_ext.bonus->hasWindowSwitcher())
            m_ext.bonus->createWindowSwitcher();
        m_hotKeyRegistry->registerWindowSwitcherFromDefaults();
        return;
    }
    if (m_ext.bonus->isWindowSwitcherVisible())
        m_ext.bonus->hideWindowSwitcher();
    // Released even without a switcher, so no grab of ⌃1 outlives the tool.
    m_hotKeyRegistry->unregister(WindowSwitcherSlot);
    m_hotKeyRegistry->setHandler(WindowSwitcherSlot, {});
    if (m_ext.bonus->hasWindowSwitcher())
        m_ext.bonus->destroyWindowSwitcher();
}

} // namespace tamo
