#include "model/DefaultSettings.h"

#include "model/ProductLinks.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "model/WebAddress.h"
#include "platform/Defaults.h"
#include "platform/KeyCodes.h"

#include <QDateTime>
#include <QUrl>

#include <limits>

namespace tamo {

namespace {

// Carbon modifier masks and macOS virtual key codes: the stored shortcut format.
using namespace KeyCodes;

// Beyond these a hand-edited value cannot be meant; the views clamp further.
constexpr double minScale = 0.25;
constexpr double maxScale = 4.0;
constexpr qint64 maxVisibleCards = 20;

struct Setting
{
    keys::Key key;
    QVariant value; // the default, or for a key registered by type a value of that type
    Defaults::ValueRule rule = {};
};

bool isWhole(const QVariant &value)
{
    return value.typeId() == QMetaType::LongLong;
}

template<typename Enum>
Defaults::ValueRule known(std::optional<Enum> (*fromRaw)(qint64))
{
    return [fromRaw](const QVariant &value) { return isWhole(value) && fromRaw(value.toLongLong()).has_value(); };
}

template<typename Enum>
Defaults::ValueRule knownText(std::optional<Enum> (*fromRaw)(QStringView))
{
    return [fromRaw](const QVariant &value) { return fromRaw(value.toString()).has_value(); };
}

Defaults::ValueRule numberWithin(double least, double most)
{
    return [least, most](const QVariant &value) {
        const double number = value.toDouble();
        return number >= least && number <= most;
    };
}

Defaults::ValueRule wholeWithin(qint64 least, qint64 most)
{
    return [least, most](const QVariant &value) {
        return isWhole(value) && value.toLongLong() >= least && value.toLongLong() <= most;
    };
}

bool secureWebAddress(const QVariant &value)
{
    return isSecureWebAddress(QUrl(value.toString(), QUrl::StrictMode));
}

bool keyCode(const QVariant &value)
{
    const qint64 code = value.toLongLong();
    return isWhole(value) && code >= 0 && code <= std::numeric_limits<int>::max()
           && toQtKey(int(code)) != Qt::Key_unknown;
}

bool modifiers(const QVariant &value)
{
    return isWhole(value) && (value.toLongLong() & ~qint64(AllCarbonModifiers)) == 0;
}

struct KnownApp
{
    const char *id;
    const char *name;
};

// Desktop ids of the password managers as Debian and Flathub ship them.
constexpr KnownApp passwordManagers[] = {
    {"org.keepassxc.KeePassXC", "KeePassXC"},
    {"keepass2", "KeePass 2"},
    {"org.gnome.seahorse.Application", "Passwords and Keys"},
    {"org.gnome.World.Secrets", "Secrets"},
    {"org.kde.kwalletmanager5", "KWalletManager"},
    {"org.kde.kwalletmanager", "KWalletManager"},
    {"bitwarden", "Bitwarden"},
    {"com.bitwarden.desktop", "Bitwarden"},
    {"1password", "1Password"},
    {"enpass", "Enpass"},
};

QStringList passwordManagerIds()
{
    QStringList ids;
    for (const KnownApp &app : passwordManagers)
        ids.append(QString::fromLatin1(app.id));
    return ids;
}

} // namespace

QString defaultIgnoredAppName(const QString &id)
{
    for (const KnownApp &app : passwordManagers) {
        if (id == QLatin1String(app.id))
            return QString::fromLatin1(app.name);
    }
    return {};
}

void replaceRetiredDefaults(Defaults &defaults)
{
    // Earlier builds wrote the ignore list's first default, which named no
    // app on this desktop; a list the user changed stays as it is.
    const QStringList retiredIgnoredApps{QStringLiteral("com.apple.keychainaccess"),
                                         QStringLiteral("com.apple.Passwords")};
    if (defaults.hasPersistentValue(keys::ignoredApps) && defaults.stringList(keys::ignoredApps) == retiredIgnoredApps)
        defaults.remove(keys::ignoredApps);
}

void registerDefaultSettings(Defaults &defaults)
{
    const Setting settings[] = {
        {keys::historyCapacity, rawValue(HistoryCapacity::month), known(historyCapacityFromRaw)},
        {keys::pasteNotice, rawValue(PasteNotice::card), knownText(pasteNoticeFromRaw)},
        {keys::cardScale, 1.0, numberWithin(minScale, maxScale)},
        {keys::cardTextScale, 1.0, numberWithin(minScale, maxScale)},
        {keys::showDuringScreenSharing, true},
        {keys::showMenuBarIcon, true},
        {keys::menuBarRecentClips, true},
        {keys::menuBarVisibleCards, 0, wholeWithin(0, maxVisibleCards)},
        {keys::menuBarLayout, rawValue(MenuBarLayout::vertical), knownText(menuBarLayoutFromRaw)},
        {keys::hotKeyDisplay, QStringLiteral("⇧⌘V")},
        {keys::hotKeyCode, KeyV, keyCode},
        {keys::hotKeyModifiers, ShiftKey | CommandKey, modifiers},
        {keys::shortcutTarget, rawValue(ShortcutTarget::drawer), knownText(shortcutTargetFromRaw)},
        {keys::directPaste, false},
        {keys::soundEffects, true},
        {keys::linkPreviews, true},
        {keys::skipSecrets, false},
        {keys::saveAutomaticCopies, false},
        // Apps whose copies are never kept; ids that name no installed app are harmless.
        {keys::ignoredApps, passwordManagerIds()},
        {keys::checkForUpdates, true},
        {keys::updateFeedURL, ProductLinks::updateFeed().toString(), secureWebAddress},
        {keys::windowSwitcherEnabled, false},
        {keys::windowSwitcherBrowserTabs, false},
        {keys::threeFingerMiddleClick, false},
        {keys::inputSourceByApp, false},
        {keys::windowSizeEnabled, false},
        {keys::windowSwitcherHotKeyCode, Key1, keyCode},
        {keys::windowSwitcherHotKeyModifiers, ControlKey, modifiers},
        {keys::windowSwitcherHotKeyDisplay, QStringLiteral("⌃1")},
        {keys::windowSizeHotKeyCode, KeyZ, keyCode},
        {keys::windowSizeHotKeyModifiers, ControlKey | CommandKey, modifiers},
        {keys::windowSizeHotKeyDisplay, QStringLiteral("⌃⌘Z")},
    };
    for (const Setting &setting : settings)
        defaults.registerDefault(setting.key, setting.value, setting.rule);

    // Keys whose readers have fallbacks of their own: only their type is
    // registered, so a value of another type reads as absent and is reported
    // as the others are.
    const QDateTime someDate = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    const Setting typedOnly[] = {
        {keys::alwaysPlainText, false},
        {keys::captureScreenshots, false},
        {keys::holdToPreview, false},
        {keys::cardStyle, QString(), knownText(cardStyleFromRaw)},
        {keys::screenCardSizes, QVariantMap()},
        {keys::screenCardSizesActive, QString()},
        {keys::personalizeShown, false},
        {keys::whatsNewShown, QString()},
        {keys::windowSizes, QVariantMap()},
        {keys::inputSourceRules, QVariantMap()},
        {keys::previewFrame, QString()},
        {keys::iCloudSync, false},
        {keys::iCloudLastSynced, someDate},
        {keys::iCloudImportedOnce, false},
        {keys::syncFolder, QString()},
        {keys::importedPinboardFiles, QVariantMap()},
        {keys::pasteImportUnfinished, false},
        {keys::welcomeClipsChecked, false},
        {keys::linkedInCardChecked, false},
        {keys::lastUpdateCheck, someDate},
        {keys::announcedUpdateBuild, 0, wholeWithin(0, std::numeric_limits<qint64>::max())},
        {keys::renameNoticeShown, false},
        {keys::renameExtraCopiesOffered, QStringList{QString()}},
    };
    for (const Setting &setting : typedOnly)
        defaults.registerType(setting.key, setting.value, setting.rule);
}

} // namespace tamo
