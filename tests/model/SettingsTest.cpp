#include "model/DefaultSettings.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/DefaultsJson.h"

#include "support/TempDir.h"
#include "support/WarningLog.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

using namespace tamo;
using tamo::testing::TempDir;

namespace {

struct FreshDefaults
{
    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
};

// Every registered key with its default.
const std::pair<QLatin1StringView, QVariant> registeredDefaults[] = {
    {keys::historyCapacity, 2},
    {keys::pasteNotice, QStringLiteral("card")},
    {keys::cardScale, 1.0},
    {keys::cardTextScale, 1.0},
    {keys::showDuringScreenSharing, true},
    {keys::showMenuBarIcon, true},
    {keys::menuBarRecentClips, true},
    {keys::menuBarVisibleCards, 0},
    {keys::menuBarLayout, QStringLiteral("vertical")},
    {keys::hotKeyDisplay, QStringLiteral("⇧⌘V")},
    {keys::hotKeyCode, 9},
    {keys::hotKeyModifiers, 768},
    {keys::shortcutTarget, QStringLiteral("drawer")},
    {keys::directPaste, false},
    {keys::soundEffects, true},
    {keys::linkPreviews, true},
    {keys::skipSecrets, false},
    {keys::saveAutomaticCopies, false},
    {keys::ignoredApps, QStringList{"org.keepassxc.KeePassXC", "keepass2", "org.gnome.seahorse.Application",
                                    "org.gnome.World.Secrets", "org.kde.kwalletmanager5", "org.kde.kwalletmanager",
                                    "bitwarden", "com.bitwarden.desktop", "1password", "enpass"}},
    {keys::checkForUpdates, true},
    {keys::windowSwitcherEnabled, false},
    {keys::windowSwitcherBrowserTabs, false},
    {keys::threeFingerMiddleClick, false},
    {keys::inputSourceByApp, false},
    {keys::windowSizeEnabled, false},
    {keys::windowSwitcherHotKeyCode, 18},
    {keys::windowSwitcherHotKeyModifiers, 4096},
    {keys::windowSwitcherHotKeyDisplay, QStringLiteral("⌃1")},
    {keys::windowSizeHotKeyCode, 6},
    {keys::windowSizeHotKeyModifiers, 4352},
    {keys::windowSizeHotKeyDisplay, QStringLiteral("⌃⌘Z")},
};

} // namespace

TEST(DefaultSettings, RegisterDefaultsWithTheirTypesWithoutWritingAny)
{
    const QLatin1StringView unregistered[] = {
        keys::alwaysPlainText, keys::captureScreenshots, keys::holdToPreview, keys::cardStyle,
        keys::screenCardSizes, keys::screenCardSizesActive, keys::personalizeShown, keys::whatsNewShown,
        keys::windowSizes, keys::inputSourceRules, keys::iCloudSync, keys::iCloudImportedOnce,
        keys::lastUpdateCheck, keys::welcomeClipsChecked,
    };

    FreshDefaults fresh;
    registerDefaultSettings(fresh.defaults);

    for (const auto &[key, value] : registeredDefaults) {
        SCOPED_TRACE(key.data());
        const QVariant wanted = *defaultsjson::normalised(value);
        const QVariant registered = fresh.defaults.value(key);
        EXPECT_EQ(registered.metaType(), wanted.metaType());  // a Bool must not be registered as 0/1
        EXPECT_EQ(registered, wanted);
        EXPECT_FALSE(fresh.defaults.hasPersistentValue(key));
    }
    for (const QLatin1StringView key : unregistered) {
        SCOPED_TRACE(key.data());
        EXPECT_FALSE(fresh.defaults.value(key).isValid());
    }
    EXPECT_TRUE(fresh.defaults.persistentEntries().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_FALSE(QFile::exists(fresh.dir.file(QStringLiteral("defaults.json"))));
}

TEST(DefaultSettings, OnlyAnUntouchedRetiredIgnoreListMakesWayForTheNewDefault)
{
    const QStringList retired{QStringLiteral("com.apple.keychainaccess"), QStringLiteral("com.apple.Passwords")};
    const struct
    {
        const char *name;
        QVariant stored; // invalid: never written
        bool replaced;
    } cases[] = {
        {"never written", QVariant(), false},
        {"the retired default", retired, true},
        {"the retired default and one more", retired + QStringList{QStringLiteral("org.a")}, false},
        {"reordered by the user", QStringList{retired.at(1), retired.at(0)}, false},
        {"emptied by the user", QStringList(), false},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        FreshDefaults fresh;
        if (test.stored.isValid())
            fresh.defaults.setValue(keys::ignoredApps, test.stored);
        replaceRetiredDefaults(fresh.defaults);
        registerDefaultSettings(fresh.defaults);
        EXPECT_EQ(fresh.defaults.hasPersistentValue(keys::ignoredApps), test.stored.isValid() && !test.replaced);
        if (test.replaced || !test.stored.isValid())
            EXPECT_TRUE(fresh.defaults.stringList(keys::ignoredApps).contains(QStringLiteral("org.keepassxc.KeePassXC")));
        else
            EXPECT_EQ(fresh.defaults.stringList(keys::ignoredApps), test.stored.toStringList());
    }
}

// A hand-edited "hotKeyCode": "nine" once read as 0 and made the shortcut Shift+Ctrl+A.
TEST(DefaultSettings, AWrittenValueOfAnotherTypeReadsAsTheDefaultForEveryKey)
{
    const QVariant samples[] = {true, 7, 2.5, QStringLiteral("nine"), QVariantList{7},
                                QVariantMap{{QStringLiteral("a"), 1}}};
    FreshDefaults fresh;
    registerDefaultSettings(fresh.defaults);
    for (const auto &[key, value] : registeredDefaults) {
        const QVariant fallback = fresh.defaults.value(key);
        for (const QVariant &sample : samples) {
            const bool sameType = sample.typeId() == value.typeId() && sample.typeId() != QMetaType::QVariantList;
            const bool isNumber = sample.typeId() == QMetaType::Int || sample.typeId() == QMetaType::Double;
            if (sameType || (value.typeId() == QMetaType::Double && isNumber))
                continue;
            SCOPED_TRACE(QStringLiteral("%1 = %2").arg(key, sample.toString()).toStdString());
            fresh.defaults.setValue(key, sample);
            EXPECT_EQ(fresh.defaults.value(key), fallback);
        }
        fresh.defaults.remove(key);
    }
}

// Five of these once fell back to their defaults without a word.
TEST(DefaultSettings, EveryKeyHoldingAValueItCannotUseSaysSoOnceAndReadsAsItsDefault)
{
    const std::pair<QLatin1StringView, QVariant> wrong[] = {
        {keys::historyCapacity, 7},
        {keys::pasteNotice, 1},
        {keys::cardScale, QStringLiteral("big")},
        {keys::showMenuBarIcon, QStringLiteral("yes")},
        {keys::ignoredApps, QVariantList{1}},
        {keys::hotKeyCode, 9.5},
        {keys::cardStyle, 7},
        {keys::iCloudSync, QStringLiteral("yes")},
        {keys::syncFolder, 42},
        {keys::screenCardSizes, QStringLiteral("str")},
        {keys::windowSizes, true},
        {keys::alwaysPlainText, QVariantMap()},
        {keys::previewFrame, false},
        {keys::iCloudLastSynced, QStringLiteral("yesterday")},
        {keys::importedPinboardFiles, QVariantList()},
        {keys::welcomeClipsChecked, 1},
        {keys::announcedUpdateBuild, -2},
        {keys::renameExtraCopiesOffered, QVariantList{QStringLiteral("/a"), 2}},
        {keys::whatsNewShown, 1.74},
    };
    TempDir dir;
    {
        Defaults written(dir.file(QStringLiteral("defaults.json")));
        for (const auto &[key, value] : wrong)
            written.setValue(key, value);
    }
    Defaults defaults(dir.file(QStringLiteral("defaults.json")));
    FreshDefaults fresh;
    registerDefaultSettings(fresh.defaults);
    tamo::testing::WarningLog warnings;
    registerDefaultSettings(defaults);
    registerDefaultSettings(defaults); // registered again at start: said once

    for (const auto &[key, value] : wrong) {
        SCOPED_TRACE(key.data());
        EXPECT_EQ(warnings.messages().filter(QStringLiteral("TamoCove: the setting %1 holds ").arg(key)).size(), 1);
        EXPECT_EQ(defaults.value(key), fresh.defaults.value(key));
    }
    EXPECT_EQ(warnings.messages().size(), qsizetype(std::size(wrong))) << warnings.text();
}

TEST(DefaultSettings, AWrittenValueOutOfItsKeysRangeReadsAsTheDefault)
{
    const std::tuple<QLatin1StringView, QVariant, bool> cases[] = {
        {keys::hotKeyCode, 999, false},
        {keys::hotKeyCode, -1, false},
        {keys::hotKeyCode, 36, true},
        {keys::windowSizeHotKeyCode, 200, false},
        {keys::hotKeyModifiers, 1, false},
        {keys::hotKeyModifiers, -256, false},
        {keys::hotKeyModifiers, 2048 | 4096, true},
        {keys::windowSwitcherHotKeyModifiers, 1 << 20, false},
        {keys::historyCapacity, 7, false},
        {keys::historyCapacity, 3, true},
        {keys::cardScale, 0, false},
        {keys::cardScale, -1.0, false},
        {keys::cardScale, 1e9, false},
        {keys::cardScale, 2.0, true},
        {keys::cardTextScale, 0.5, true},
        {keys::menuBarVisibleCards, -3, false},
        {keys::menuBarVisibleCards, 10, true},
        {keys::pasteNotice, QStringLiteral("loud"), false},
        {keys::pasteNotice, QStringLiteral("none"), true},
        {keys::menuBarLayout, QStringLiteral("diagonal"), false},
        {keys::shortcutTarget, QStringLiteral("nowhere"), false},
        {keys::shortcutTarget, QStringLiteral("menuBar"), true},
    };
    for (const auto &[key, stored, usable] : cases) {
        SCOPED_TRACE(QStringLiteral("%1 = %2").arg(key, stored.toString()).toStdString());
        FreshDefaults fresh;
        registerDefaultSettings(fresh.defaults);
        const QVariant fallback = fresh.defaults.value(key);
        fresh.defaults.setValue(key, stored);
        EXPECT_EQ(fresh.defaults.value(key), usable ? *defaultsjson::normalised(stored) : fallback);
    }
}

TEST(SettingsEnums, CurrentPasteNoticeFallsBackToCard)
{
    const std::pair<QVariant, PasteNotice> cases[] = {
        {QVariant(), PasteNotice::card},
        {QStringLiteral("icon"), PasteNotice::icon},
        {QStringLiteral("none"), PasteNotice::none},
        {QStringLiteral("card"), PasteNotice::card},
        {QStringLiteral("Icon"), PasteNotice::card},
        {QStringLiteral(""), PasteNotice::card},
        {1, PasteNotice::card},
    };
    for (const auto &[stored, notice] : cases) {
        SCOPED_TRACE(stored.toString().toStdString());
        FreshDefaults fresh;
        fresh.defaults.setValue(keys::pasteNotice, stored);
        EXPECT_EQ(currentPasteNotice(fresh.defaults), notice);
    }

    FreshDefaults registered;
    registerDefaultSettings(registered.defaults);
    EXPECT_EQ(currentPasteNotice(registered.defaults), PasteNotice::card);
}

// Every reader treats a missing or invalid stored capacity as a month.
TEST(SettingsEnums, HistoryCapacityAcceptsOnlyItsFourRawValues)
{
    const std::pair<QVariant, HistoryCapacity> stored[] = {
        {QVariant(), HistoryCapacity::month},
        {0, HistoryCapacity::day},
        {1, HistoryCapacity::week},
        {3.0, HistoryCapacity::unlimited},
        {7, HistoryCapacity::month},
        {4, HistoryCapacity::month},
        {-1, HistoryCapacity::month},
        {0.5, HistoryCapacity::month},
        {QStringLiteral("0"), HistoryCapacity::month},
        {true, HistoryCapacity::month},
    };
    for (const auto &[value, capacity] : stored) {
        SCOPED_TRACE(value.toString().toStdString());
        FreshDefaults fresh;
        fresh.defaults.setValue(keys::historyCapacity, value);
        EXPECT_EQ(currentHistoryCapacity(fresh.defaults), capacity);
    }
}
