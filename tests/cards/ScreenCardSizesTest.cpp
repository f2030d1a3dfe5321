#include "cards/ScreenCardSizes.h"
#include "cards/ScreenCardSizesService.h"
#include "support/FakeScreens.h"

#include "model/DefaultSettings.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/Screens.h"
#include "support/TempDir.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

using namespace tamo;
namespace keys = tamo::keys;
using Screen = ScreenCardSizes::Screen;

namespace {

ScreenInfo display(const QString &name, QSizeF size, quint32 serial = 0)
{
    ScreenInfo screen;
    screen.frame = QRectF(QPointF(0, 0), size);
    screen.visibleFrame = screen.frame;
    screen.vendor = 1552;
    screen.model = 41016;
    screen.serial = serial;
    screen.name = name;
    return screen;
}

QVariantMap entry(const QString &name, int width, int height, double cardScale, double textScale)
{
    return {{"name", name}, {"width", width}, {"height", height}, {"cardScale", cardScale}, {"textScale", textScale}};
}

class ScreenCardSizesTest : public ::testing::Test
{
protected:
    ScreenCardSizesTest() { reopen(); }

    // A fresh store on the same file, so values read as they do after a restart.
    void reopen()
    {
        if (defaults)
            defaults->flush();
        defaults = std::make_unique<Defaults>(dir.file("defaults.json"));
        registerDefaultSettings(*defaults);
    }

    void setGlobals(double cardScale, double textScale)
    {
        defaults->setValue(keys::cardScale, cardScale);
        defaults->setValue(keys::cardTextScale, textScale);
    }

    QVariantMap stored() const { return defaults->dictionary(keys::screenCardSizes); }
    QVariantMap storedEntry(const QString &id) const { return stored().value(id).toMap(); }

    tamo::testing::TempDir dir;
    std::unique_ptr<Defaults> defaults;
};

} // namespace

TEST(ScreenCardSizesID, JoinsTheDisplayNumbersAndTheTruncatedFrameSize)
{
    const struct {
        quint32 vendor, model, serial;
        QSizeF size;
        const char *id;
    } rows[] = {
        {1552, 41016, 0, {1512, 982.5}, "1552-41016-0 1512x982"},
        {0, 0, 0, {1920, 1080}, "0-0-0 1920x1080"},                     // no EDID
        {4294967295u, 7, 123456, {2560.9, 1439.99}, "4294967295-7-123456 2560x1439"},
    };
    for (const auto &row : rows) {
        ScreenInfo screen;
        screen.frame = QRectF(QPointF(-1920, 400), row.size);  // the origin plays no part
        screen.vendor = row.vendor;
        screen.model = row.model;
        screen.serial = row.serial;
        EXPECT_EQ(ScreenCardSizes::screenID(screen), QString::fromLatin1(row.id));
    }
}

TEST(ScreenCardSizesID, LabelShowsNameAndSize)
{
    const Screen screen{"id", "Built-in Retina Display", 1512, 982, 1.0, 1.0};
    EXPECT_EQ(screen.label(), QString::fromUtf8("Built-in Retina Display, 1512 \u00D7 982"));
}

TEST_F(ScreenCardSizesTest, RememberAddsUnknownScreensWithTheCurrentSizesAndWritesOnlyThen)
{
    const ScreenInfo laptop = display("Laptop", {1512, 982});
    const ScreenInfo monitor = display("Monitor", {2560, 1440.5}, 77);
    ScreenCardSizes::remember(*defaults, {laptop});
    setGlobals(0.75, 1.75);

    QSignalSpy writes(defaults.get(), &Defaults::valueChanged);
    ScreenCardSizes::remember(*defaults, {laptop});
    EXPECT_EQ(writes.count(), 0);

    ScreenCardSizes::remember(*defaults, {laptop, monitor});
    ASSERT_EQ(writes.count(), 1);
    EXPECT_EQ(writes.first().first().toString(), keys::screenCardSizes);
    EXPECT_EQ(storedEntry(ScreenCardSizes::screenID(laptop)), entry("Laptop", 1512, 982, 1.0, 1.0));
    EXPECT_EQ(storedEntry(ScreenCardSizes::screenID(monitor)), entry("Monitor", 2560, 1440, 0.75, 1.75));
}

TEST_F(ScreenCardSizesTest, RememberStartsAfreshOverAValueThatIsNoDictionary)
{
    defaults->setValue(keys::screenCardSizes, QStringLiteral("garbage"));
    const ScreenInfo laptop = display("Laptop", {1512, 982});
    ScreenCardSizes::remember(*defaults, {laptop});
    EXPECT_EQ(stored().keys(), QStringList{ScreenCardSizes::screenID(laptop)});
}

TEST_F(ScreenCardSizesTest, ActivateStoresTheGlobalsUnderTheOldScreenAndAdoptsTheNewOnes)
{
    defaults->setValue(keys::screenCardSizes, QVariantMap{{"A", entry("A", 1, 1, 1.0, 1.0)},
                                                           {"B", entry("B", 1, 1, 0.75, 1.5)}});
    defaults->setValue(keys::screenCardSizesActive, QStringLiteral("A"));
    setGlobals(1.25, 1.125);

    ScreenCardSizes::activate(*defaults, "B");
    EXPECT_DOUBLE_EQ(defaults->doubleValue(keys::cardScale), 0.75);
    EXPECT_DOUBLE_EQ(defaults->doubleValue(keys::cardTextScale), 1.5);
    EXPECT_EQ(storedEntry("A"), entry("A", 1, 1, 1.25, 1.125));
    EXPECT_EQ(defaults->string(keys::screenCardSizesActive), QStringLiteral("B"));

    // The settings page changes the globals only; B's entry catches up on the next switch.
    setGlobals(1.5, 1.0);
    reopen();
    ScreenCardSizes::activate(*defaults, "A");
    EXPECT_DOUBLE_EQ(defaults->doubleValue(keys::cardScale), 1.25);
    EXPECT_DOUBLE_EQ(defaults->doubleValue(keys::cardTextScale), 1.125);
    EXPECT_EQ(storedEntry("B"), entry("B", 1, 1, 1.5, 1.0));
}

TEST_F(ScreenCardSizesTest, ActivatingTheActiveScreenDoesNothing)
{
    defaults->setValue(keys::screenCardSizes, QVariantMap{{"A", entry("A", 1, 1, 0.75, 0.75)}});
    defaults->setValue(keys::screenCardSizesActive, QStringLiteral("A"));
    setGlobals(1.25, 1.25);

    QSignalSpy writes(defaults.get(), &Defaults::valueChanged);
    ScreenCardSizes::activate(*defaults, "A");
    EXPECT_EQ(writes.count(), 0);
    EXPECT_EQ(storedEntry("A"), entry("A", 1, 1, 0.75, 0.75));
}

TEST_F(ScreenCardSizesTest, ActivateCopiesOnlyScalesThatAreStoredAndDifferent)
{
    const struct {
        const char *what;
        QVariantMap newEntry;
        double cardScale, textScale;
        bool cardScaleWritten, textScaleWritten;
    } rows[] = {
        {"both stored", entry("B", 1, 1, 0.75, 1.5), 0.75, 1.5, true, true},
        {"equal to the current", entry("B", 1, 1, 1.0, 1.5), 1.0, 1.5, false, true},
        {"missing", {{"name", "B"}}, 1.0, 1.0, false, false},
        {"not numbers", {{"name", "B"}, {"cardScale", "big"}, {"textScale", true}}, 1.0, 1.0, false, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        defaults->remove(keys::cardScale);
        defaults->remove(keys::cardTextScale);
        defaults->remove(keys::screenCardSizesActive);
        defaults->setValue(keys::screenCardSizes, QVariantMap{{"B", row.newEntry}});

        ScreenCardSizes::activate(*defaults, "B");
        EXPECT_DOUBLE_EQ(defaults->doubleValue(keys::cardScale), row.cardScale);
        EXPECT_DOUBLE_EQ(defaults->doubleValue(keys::cardTextScale), row.textScale);
        EXPECT_EQ(defaults->hasPersistentValue(keys::cardScale), row.cardScaleWritten);
        EXPECT_EQ(defaults->hasPersistentValue(keys::cardTextScale), row.textScaleWritten);
        EXPECT_EQ(defaults->string(keys::screenCardSizesActive), QStringLiteral("B"));
    }
}

TEST_F(ScreenCardSizesTest, ActivatingAnUnknownScreenKeepsTheGlobalsAndStillRecordsIt)
{
    defaults->setValue(keys::screenCardSizesActive, QStringLiteral("gone"));
    setGlobals(1.25, 1.5);

    ScreenCardSizes::activate(*defaults, "new");
    EXPECT_DOUBLE_EQ(defaults->doubleValue(keys::cardScale), 1.25);
    EXPECT_DOUBLE_EQ(defaults->doubleValue(keys::cardTextScale), 1.5);
    EXPECT_TRUE(defaults->hasPersistentValue(keys::screenCardSizes));
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(defaults->string(keys::screenCardSizesActive), QStringLiteral("new"));
}

TEST_F(ScreenCardSizesTest, ScreensReadEntriesLeniently)
{
    defaults->setValue(keys::screenCardSizes, QVariantMap{
        {"full", entry("Full", 1920, 1080, 0.75, 1.25)},
        {"bare", QVariantMap{{"name", "Bare"}}},
        {"numbered name", QVariantMap{{"name", 5}, {"width", 1}}},
        {"no name", QVariantMap{{"width", 1}}},
        {"not a dictionary", "Display"},
    });
    reopen();  // whole numbers come back as integers

    const QList<Screen> screens = ScreenCardSizes::screens(*defaults, {});
    const QList<Screen> expected{
        {"bare", "Bare", 0, 0, 1.0, 1.0},
        {"full", "Full", 1920, 1080, 0.75, 1.25},
    };
    EXPECT_EQ(screens, expected);
}

TEST_F(ScreenCardSizesTest, TheActiveScreenShowsTheLiveGlobals)
{
    defaults->setValue(keys::screenCardSizes, QVariantMap{{"A", entry("A", 1, 1, 0.75, 0.75)}});
    defaults->setValue(keys::screenCardSizesActive, QStringLiteral("A"));
    setGlobals(1.5, 1.25);

    const QList<Screen> screens = ScreenCardSizes::screens(*defaults, {});
    ASSERT_EQ(screens.size(), 1);
    EXPECT_DOUBLE_EQ(screens.first().cardScale, 1.5);
    EXPECT_DOUBLE_EQ(screens.first().textScale, 1.25);
}

TEST_F(ScreenCardSizesTest, ConnectedScreensComeFirstEachGroupInNaturalOrder)
{
    defaults->setValue(keys::screenCardSizes, QVariantMap{
        {"d10", entry("Display 10", 800, 600, 1, 1)},
        {"d2", entry("display 2", 800, 600, 1, 1)},
        {"d1", entry("Display 1", 800, 600, 1, 1)},
        {"tv", entry("TV", 3840, 2160, 1, 1)},
        {"big", entry("Big", 800, 600, 1, 1)},
        {"big wide", entry("Big", 1920, 600, 1, 1)},
        {"big narrow", entry("Big", 900, 600, 1, 1)},
    });

    QStringList order;
    for (const Screen &screen : ScreenCardSizes::screens(*defaults, {"tv", "d10", "d2", "missing"}))
        order.append(screen.id);
    EXPECT_EQ(order, (QStringList{"d2", "d10", "tv", "big", "big narrow", "big wide", "d1"}));
}

TEST_F(ScreenCardSizesTest, LaunchRemembersEveryScreenAndActivatesThePrimary)
{
    const ScreenInfo primary = display(QStringLiteral("Built-in"), {1512, 982}, 1);
    const ScreenInfo side = display(QStringLiteral("Side"), {1920, 1080}, 2);
    tamo::testing::FakeScreens screens({primary, side});
    ScreenCardSizesService(*defaults, screens).startCardSizes();
    EXPECT_EQ(stored().size(), 2);
    EXPECT_EQ(defaults->string(keys::screenCardSizesActive), std::optional(ScreenCardSizes::screenID(primary)));

    tamo::testing::FakeScreens none(QList<ScreenInfo>{});
    defaults->remove(keys::screenCardSizesActive);
    ScreenCardSizesService(*defaults, none).startCardSizes();
    EXPECT_FALSE(defaults->hasPersistentValue(keys::screenCardSizesActive));
}
