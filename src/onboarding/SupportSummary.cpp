#include "onboarding/SupportSummary.h"

#include "app/AppModel.h"
#include "app/GlobalHotKeyRegistry.h"
#include "model/ClipItem.h"
#include "model/LocalRecords.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboard.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "app/Product.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/KeyNames.h"
#include "platform/Workspace.h"
#include "settings/AppListRow.h"
#include "transfer/FolderSync.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace tamo::SupportSummary {

namespace {

QString onOff(bool value)
{
    return value ? QStringLiteral("on") : QStringLiteral("off");
}

QString joined(const QStringList &lines)
{
    return lines.join(u'\n') + u'\n';
}

QString factor(double value)
{
    return QLocale().toString(value, 'f', 2);
}

// Zero or one fraction digit: 13 pt, 9.5 pt.
QString points(double value)
{
    const bool whole = std::fabs(value - std::round(value)) < 1e-9;
    return QLocale().toString(value, 'f', whole ? 0 : 1) + QStringLiteral(" px");
}

double nearest(double x)
{
    return std::round(x); // halves away from zero
}

double half(double x)
{
    return nearest(2 * x) / 2;
}

QString countLine(const QString &label, int count)
{
    return label + (count < 0 ? QStringLiteral("unavailable") : QString::number(count));
}

// Files under /proc and /sys have no size: they are read until a read gives nothing.
QString firstLine(const QString &path, const QByteArray &prefix)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    for (QByteArray line = file.readLine(); !line.isEmpty(); line = file.readLine()) {
        if (line.startsWith(prefix))
            return QString::fromUtf8(line.mid(prefix.size())).trimmed();
    }
    return {};
}

QString storeSize(const QString &storeDirectory, const QString &name)
{
    const QString path = storeDirectory + u'/' + name;
    qint64 total = 0;
    for (const QString &file : {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")})
        total += QFileInfo(file).size(); // 0 when missing
    return byteSize(total);
}

QString syncStatusText(const SyncStatus &status, const CloudSyncService &sync, const Defaults &defaults)
{
    switch (status.kind) {
    case SyncStatus::Kind::upToDate: return QStringLiteral("up to date, synced ") + date(status.date);
    case SyncStatus::Kind::failed: return QStringLiteral("failed: ") + status.text;
    case SyncStatus::Kind::off: return QStringLiteral("off");
    case SyncStatus::Kind::noAccount:
        return QStringLiteral("no sync folder (create the folder %1 to sync)")
            .arg(QFileInfo(FolderSync::folderPath(defaults)).absolutePath());
    case SyncStatus::Kind::syncing: return sync.activityTitle();
    }
    return {};
}

QString hotKeyState(AppModel &model, bool enabled, int slot)
{
    if (!enabled)
        return {};
    if (!model.accessibilityGranted())
        return QStringLiteral(", waiting for Accessibility");
    return model.hotKeyRegistry().isRegistered(slot) ? QStringLiteral(", shortcut registered")
                                                     : QStringLiteral(", shortcut NOT registered (taken by another app?)");
}

// As the user reads it; preferences.txt keeps the stored glyphs.
QString shortcut(const Defaults &defaults, const QString &key)
{
    const std::optional<QString> stored = defaults.string(key);
    return stored ? keyNames(*stored) : QStringLiteral("?");
}

QString layoutName(const QList<KeyboardLayout> &layouts, const QString &id)
{
    for (const KeyboardLayout &layout : layouts) {
        if (layout.id == id && !layout.name.isEmpty())
            return layout.name;
    }
    return id;
}

bool hasLayout(const QList<KeyboardLayout> &layouts, const QString &id)
{
    return std::any_of(layouts.cbegin(), layouts.cend(), [&id](const KeyboardLayout &layout) { return layout.id == id; });
}

QString outcomeText(const InputSourceSwitch &entry)
{
    using Outcome = InputSourceSwitch::Outcome;
    switch (entry.outcome) {
    case Outcome::switched: return QStringLiteral("switched");
    case Outcome::alreadyCurrent: return QStringLiteral("already current");
    case Outcome::unavailable: return QStringLiteral("source not available");
    case Outcome::reapplied: return QStringLiteral("re-applied after the desktop restored a window's layout");
    case Outcome::failed: return QStringLiteral("failed (%1)").arg(entry.status);
    }
    return {};
}

QStringList inputSourceLines(AppModel &model, const Defaults &defaults)
{
    const BonusTools &tools = model.bonusTools();
    const QList<KeyboardLayout> layouts = tools.keyboardLayouts();
    QStringList lines{QStringLiteral("Keyboard layout by app (no permission needed): ")
                      + onOff(defaults.boolValue(keys::inputSourceByApp)) + QStringLiteral(", ")
                      + (tools.isWatchingAppSwitches() ? QStringLiteral("watching app switches")
                                                       : QStringLiteral("not watching"))};
    const QString current = tools.currentKeyboardLayout();
    lines << QStringLiteral("  Current keyboard layout: ")
                 + (current.isEmpty() ? QStringLiteral("unknown")
                                      : layoutName(layouts, current) + QStringLiteral(" (") + current + u')');
    QStringList enabled;
    for (const KeyboardLayout &layout : layouts)
        enabled << layoutName(layouts, layout.id) + QStringLiteral(" (") + layout.id + u')';
    lines << QStringLiteral("  Enabled keyboard layouts: ")
                 + (enabled.isEmpty() ? QStringLiteral("none found") : enabled.join(QStringLiteral(", ")));
    lines << QStringLiteral("  Desktop keeps a layout per window: ") + onOff(tools.followsWindowLayout());

    // A QVariantMap is in key order; an entry that is not text is no rule.
    QStringList ruleLines;
    const QVariantMap rules = defaults.dictionary(keys::inputSourceRules);
    for (auto rule = rules.cbegin(); rule != rules.cend(); ++rule) {
        if (rule.value().typeId() != QMetaType::QString)
            continue;
        const QString &app = rule.key();
        const QString source = rule.value().toString();
        QStringList notes;
        if (!model.workspace().isInstalled(app))
            notes << QStringLiteral("app not installed");
        if (!hasLayout(layouts, source))
            notes << QStringLiteral("source not enabled");
        QString line = QStringLiteral("    ") + appDisplayName(model.workspace(), app) + QStringLiteral(" (") + app
                       + QStringLiteral(") → ") + layoutName(layouts, source) + QStringLiteral(" (") + source + u')';
        if (!notes.isEmpty())
            line += QStringLiteral(" [") + notes.join(QStringLiteral(", ")) + u']';
        ruleLines << line;
    }
    lines << QStringLiteral("  Rules: ") + (ruleLines.isEmpty() ? QStringLiteral("none") : QString::number(ruleLines.size()));
    lines << ruleLines;

    const QList<InputSourceSwitch> switches = tools.recentInputSourceSwitches();
    lines << QStringLiteral("  Recent switches (this launch, newest last): ")
                 + (switches.isEmpty() ? QStringLiteral("none") : QString::number(switches.size()));
    for (const InputSourceSwitch &entry : switches)
        lines << QStringLiteral("    ") + date(entry.date) + u' ' + entry.bundleID + QStringLiteral(": ") + entry.from
                     + QStringLiteral(" → ") + entry.to + QStringLiteral(", ") + outcomeText(entry);
    return lines;
}

} // namespace

QString computerLine()
{
    QString model = firstLine(QStringLiteral("/sys/class/dmi/id/product_name"), {});
    QString cpu = firstLine(QStringLiteral("/proc/cpuinfo"), "model name");
    if (cpu.startsWith(u':'))
        cpu = cpu.mid(1).trimmed();
    return QStringLiteral("Computer: ") + (model.isEmpty() ? QStringLiteral("unknown") : model) + QStringLiteral(", ")
           + (cpu.isEmpty() ? QStringLiteral("unknown") : cpu);
}

QStringList bonusFeaturesSection(AppModel &model, const Defaults &defaults)
{
    const bool switcher = defaults.boolValue(keys::windowSwitcherEnabled);
    const bool sizer = defaults.boolValue(keys::windowSizeEnabled);
    const bool middleClick = defaults.boolValue(keys::threeFingerMiddleClick);
    const WindowSizeCounts sizes = model.bonusTools().windowSizeCounts();
    QStringList lines{QStringLiteral("Bonus features:")};
    lines << QStringLiteral("Window switcher: ") + onOff(switcher) + hotKeyState(model, switcher, WindowSwitcherSlot)
                 + QStringLiteral(", shortcut ") + shortcut(defaults, keys::windowSwitcherHotKeyDisplay)
                 + QStringLiteral(", Show Tabs ") + onOff(defaults.boolValue(keys::windowSwitcherBrowserTabs));
    lines << QStringLiteral("Window Size: ") + onOff(sizer) + hotKeyState(model, sizer, WindowSizerSlot)
                 + QStringLiteral(", shortcut ") + shortcut(defaults, keys::windowSizeHotKeyDisplay) + QStringLiteral(", ")
                 + QString::number(sizes.screensWithSize) + QStringLiteral(" screen(s) with a size, ")
                 + QString::number(sizes.captured) + QStringLiteral(" captured");
    QString middle = QStringLiteral("Three-finger middle click: ") + onOff(middleClick);
    if (middleClick)
        middle += model.middleClickActive() ? QStringLiteral(", active") : QStringLiteral(", waiting for Accessibility");
    lines << middle + QStringLiteral(", touchpad Tap to Click ") + onOff(model.bonusTools().tapToClick());
    lines << inputSourceLines(model, defaults);
    return lines;
}

QString date(const QDateTime &dateTime)
{
    return dateTime.toUTC().toString(Qt::ISODate);
}

QString byteSize(qint64 bytes)
{
    const QLocale locale = QLocale();
    if (bytes == 0)
        return QStringLiteral("Zero KB");
    if (bytes == 1)
        return QStringLiteral("1 byte");
    if (bytes < 1000)
        return QString::number(bytes) + QStringLiteral(" bytes");
    if (bytes < 1000 * 1000)
        return locale.toString(std::round(bytes / 1e3), 'f', 0) + QStringLiteral(" KB");
    if (bytes < 1000LL * 1000 * 1000)
        return locale.toString(bytes / 1e6, 'f', 1) + QStringLiteral(" MB");
    return locale.toString(bytes / 1e9, 'f', 2) + QStringLiteral(" GB");
}

namespace {

// Lists and dictionaries show what they hold, however deeply nested.
QString valueText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        return QStringLiteral("<%1 bytes>").arg(value.toByteArray().size());
    case QMetaType::QVariantList: {
        QStringList items;
        for (const QVariant &item : value.toList())
            items.append(valueText(item));
        return u'[' + items.join(QStringLiteral(", ")) + u']';
    }
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        QStringList items;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            items.append(it.key() + QStringLiteral(": ") + valueText(it.value()));
        return u'{' + items.join(QStringLiteral(", ")) + u'}';
    }
    case QMetaType::QDateTime:
        return date(value.toDateTime());
    default:
        return value.toString();
    }
}

} // namespace

QString settingLine(const QString &key, const QVariant &value)
{
    return key + QStringLiteral(" = ") + valueText(value);
}

QStringList syncResets(const QString &logPath)
{
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList resets;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.contains("resetting internal state after error"))
            resets.append(QString::fromUtf8(line).left(19));
    }
    return resets;
}

QString screenLine(const ScreenCardSizes::Screen &screen, const QString &activeID, const QStringList &connectedIDs)
{
    QString marks;
    if (screen.id == activeID)
        marks += u'*';
    if (connectedIDs.contains(screen.id))
        marks += u'+';
    return QStringLiteral("  ") + screen.label() + QStringLiteral(": ") + factor(screen.cardScale) + QStringLiteral(", ")
           + factor(screen.textScale) + u' ' + marks;
}

QStringList layoutSection(const Defaults &defaults, const QList<ScreenCardSizes::Screen> &screens,
                          const QStringList &connectedScreenIDs)
{
    const bool icon = defaults.boolValue(keys::showMenuBarIcon);
    const bool recent = icon && defaults.boolValue(keys::menuBarRecentClips);
    const double cardScale = defaults.doubleValue(keys::cardScale);
    const double textScale = defaults.doubleValue(keys::cardTextScale);
    const double s = std::clamp(cardScale, 0.75, 1.5);
    const double m = s * 0.72;
    const double t = std::clamp(textScale, 0.75, 1.75);
    const double labelPanel = half(s * 13);
    const double labelMenuBar = half(m * 13);

    QString target = QStringLiteral("TamoCove Panel");
    if (defaults.string(keys::shortcutTarget) == rawValue(ShortcutTarget::menuBar))
        target = recent ? QStringLiteral("Tray Clips")
                        : QStringLiteral("TamoCove Panel: Tray Clips is chosen but the tray clips are off");
    const qint64 visibleCards = defaults.integer(keys::menuBarVisibleCards);

    QStringList lines{
        QStringLiteral("Layout in effect (defaults included):"),
        QStringLiteral("Open TamoCove shortcut opens: ") + target,
        QStringLiteral("Tray icon: ") + onOff(icon),
        QStringLiteral("Recent clips in the tray: ") + onOff(recent),
        QStringLiteral("Tray clips layout: ")
            + (defaults.string(keys::menuBarLayout) == rawValue(MenuBarLayout::horizontal) ? QStringLiteral("Horizontal")
                                                                                          : QStringLiteral("Vertical")),
        QStringLiteral("Tray clips visible cards: ")
            + (visibleCards >= 1 ? QString::number(visibleCards) : QStringLiteral("default")),
        QStringLiteral("Card style: ")
            + (defaults.string(keys::cardStyle) == rawValue(CardStyle::classic) ? QStringLiteral("Classic")
                                                                               : QStringLiteral("Glass")),
        QStringLiteral("Card size: ") + factor(s) + QStringLiteral(", cards ") + points(nearest(s * 304))
            + QStringLiteral(" in the TamoCove panel, ") + points(nearest(m * 304)) + QStringLiteral(" in the tray"),
        QStringLiteral("Font size: ") + factor(textScale) + QStringLiteral(", text clips ") + points(half(t * labelPanel))
            + QStringLiteral(" in the TamoCove panel, ") + points(half(t * labelMenuBar))
            + QStringLiteral(" in the tray"),
        QStringLiteral("Card labels: ") + points(labelPanel) + QStringLiteral(" in the TamoCove panel, ")
            + points(labelMenuBar) + QStringLiteral(" in the tray"),
        QStringLiteral("Sizes per screen (card size, font size; * in use, + connected):"),
    };
    const QString active = defaults.string(keys::screenCardSizesActive).value_or(QString());
    for (const ScreenCardSizes::Screen &screen : screens)
        lines.append(screenLine(screen, active, connectedScreenIDs));
    return lines;
}

QString preferencesText(const Defaults &defaults, const QStringList &connectedScreenIDs)
{
    QStringList lines = layoutSection(defaults, ScreenCardSizes::screens(defaults, connectedScreenIDs),
                                      connectedScreenIDs);
    lines << QString() << QStringLiteral("Saved settings (unchanged defaults aren't listed):");
    const QVariantMap written = defaults.persistentEntries(); // a QMap: sorted by key
    for (auto entry = written.cbegin(); entry != written.cend(); ++entry)
        lines << settingLine(entry.key(), entry.value());
    return joined(lines);
}

QString summary(AppModel &model, Defaults &defaults, const QString &syncLog)
{
    ModelContext &context = model.container().mainContext();
    CloudSyncService &sync = model.sync();
    const SyncStatus status = sync.status();
    const QStringList resets = syncResets(syncLog);
    const std::optional<QDateTime> lastSynced = defaults.date(keys::iCloudLastSynced);
    using Compare = FetchDescriptor::Compare;

    QStringList lines{
        QStringLiteral("TamoCove Support Report"),
        QStringLiteral("Created: ") + date(model.clock().now()),
        QString(),
        QStringLiteral("TamoCove %1 (build %2)").arg(product::version()).arg(product::build()),
        QStringLiteral("System: ") + QSysInfo::prettyProductName() + QStringLiteral(", kernel ")
            + QSysInfo::kernelVersion(),
        computerLine(),
        QStringLiteral("Locale: ") + QLocale().name() + QStringLiteral(", time zone ")
            + QString::fromUtf8(QTimeZone::systemTimeZoneId()),
        QStringLiteral("TamoCove launched: ")
            + (model.startTime().isValid() ? date(model.startTime()) : QStringLiteral("never")),
        QString(),
        QStringLiteral("Sync History and Pinboards: ") + onOff(sync.isEnabled()),
        QStringLiteral("Sync folder: ") + FolderSync::folderPath(defaults),
        QStringLiteral("Sync status: ") + syncStatusText(status, sync, defaults),
    };
    if (status.kind == SyncStatus::Kind::syncing)
        lines << QStringLiteral("Running sync: ") + sync.activityTitle();
    lines << QStringLiteral("Last synced: ") + (lastSynced ? date(*lastSynced) : QStringLiteral("never"));
    QString resetLine = QStringLiteral("Sync resets in the last 3d: ") + QString::number(resets.size());
    if (!resets.isEmpty())
        resetLine += QStringLiteral(", last at ") + resets.last();
    lines << resetLine;
    lines << QStringLiteral("First read of the sync folder done: ")
                 + (defaults.boolValue(keys::iCloudImportedOnce) ? QStringLiteral("true") : QStringLiteral("false"));
    lines << QString();
    lines << countLine(QStringLiteral("Clips: "), context.fetchCount<ClipItem>())
          << countLine(QStringLiteral("Pinned clips: "), context.fetchCount<ClipItem>(
                 FetchDescriptor().where(ClipItem::PinboardIDColumn, Compare::isNotNull)))
          << countLine(QStringLiteral("Image clips: "), context.fetchCount<ClipItem>(
                 FetchDescriptor().where(ClipItem::KindRawColumn, Compare::equal, QStringLiteral("image"))))
          << countLine(QStringLiteral("Pinboards: "), context.fetchCount<Pinboard>())
          << countLine(QStringLiteral("Local-only images: "), context.fetchCount<LocalImage>());
    const QString storeDirectory = model.container().storeDirectory();
    lines << QStringLiteral("Tamo.store: ") + storeSize(storeDirectory, QStringLiteral("Tamo.store"))
          << QStringLiteral("TamoLocal.store: ") + storeSize(storeDirectory, QStringLiteral("TamoLocal.store"));
    lines << QString();
    lines << QStringLiteral("Accessibility (direct paste, window switcher, middle click): ")
                 + (model.accessibilityGranted() ? QStringLiteral("granted") : QStringLiteral("not granted"))
          << QStringLiteral("Direct paste: ")
                 + (defaults.boolValue(keys::directPaste) ? QStringLiteral("on")
                                                          : QStringLiteral("off (picking a clip only copies it)"))
          << QStringLiteral("Paste notice: ") + rawValue(currentPasteNotice(defaults))
          << QStringLiteral("Open TamoCove shortcut: ") + shortcut(defaults, keys::hotKeyDisplay)
          << QString();
    lines << bonusFeaturesSection(model, defaults);
    return joined(lines);
}

} // namespace tamo::SupportSummary
