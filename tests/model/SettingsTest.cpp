#include "model/DefaultSettings.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/DefaultsJson.h"

#include "support/TempDir.h"

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

} // namespace

TEST(DefaultSettings, RegisterDefaultsWithTheirTypesWithoutWritingAny)
{
    // One row per stored type: each must keep its type, not only its value.
    const std::pair<QLatin1StringView, QVariant> expected[] = {
        {keys::historyCapacity, 2},
        {keys::cardScale, 1.0},
        {keys::pasteNotice, QStringLiteral("card")},
        {keys::hotKeyDisplay, QStringLiteral("⇧⌘V")},
        {keys::soundEffects, true},
        {keys::skipSecrets, false},
        {keys::ignoredApps, QStringList{QStringLiteral("com.apple.keychainaccess"), QStringLiteral("com.apple.Passwords")}},
    };
    const QLatin1StringView unregistered[] = {
        keys::alwaysPlainText, keys::captureScreenshots, keys::holdToPreview, keys::cardStyle,
        keys::screenCardSizes, keys::screenCardSizesActive, keys::personalizeShown, keys::whatsNewShown,
        keys::windowSizes, keys::inputSourceRules, keys::iCloudSync, keys::iCloudImportedOnce,
        keys::lastUpdateCheck, keys::welcomeClipsChecked,
    };

    FreshDefaults fresh;
    registerDefaultSettings(fresh.defaults);

    for (const auto &[key, value] : expected) {
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
