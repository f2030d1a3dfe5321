#include "app/AppIcons.h"

#include "support/FakeWorkspace.h"
#include "support/TestImages.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

// Icons are drawn here rather than taken from a theme, which the test
// machine may not have.
QImage canvas(QSize size = {64, 64})
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QIcon iconOf(const QImage &image)
{
    return QIcon(QPixmap::fromImage(image));
}

QIcon solid(const QColor &color, QSize size = {64, 64})
{
    QImage image = canvas(size);
    image.fill(color);
    return iconOf(image);
}

// A red badge inside a thick white frame, on a transparent margin.
QIcon framedBadge()
{
    QImage image = canvas();
    QPainter painter(&image);
    painter.fillRect(8, 8, 48, 48, Qt::white);
    painter.fillRect(20, 20, 24, 24, Qt::red);
    return iconOf(image);
}

// Left half the colour, right half white.
QIcon halfAndHalf(const QColor &color)
{
    QImage image = canvas();
    QPainter painter(&image);
    painter.fillRect(0, 0, 32, 64, color);
    painter.fillRect(32, 0, 32, 64, Qt::white);
    return iconOf(image);
}

QByteArray pngOf(const QIcon &icon)
{
    return encodedImage(icon.pixmap(64, 64).toImage());
}

QColor centreOf(const QIcon &icon)
{
    const QImage image = icon.pixmap(QSize(32, 32), 1.0).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

class AppIconsTest : public ::testing::Test
{
protected:
    void install(const QString &bundleID, const QIcon &icon) { workspace.install({bundleID, bundleID}, icon); }

    FakeWorkspace workspace;
    AppIcons icons{workspace};
};

TEST_F(AppIconsTest, AccentComesFromTheColourfulPixels)
{
    const struct
    {
        const char *app;
        QIcon icon;
        const char *accent;
    } cases[] = {
        {"solid.red", solid(Qt::red), "#FF0000"},
        {"framed.badge", framedBadge(), "#FF0000"}, // white frame and transparent margin left out
        {"half.blue", halfAndHalf(QColor(0x20, 0x60, 0xE0)), "#2060E0"},
        {"dark.grey", solid(QColor(0x40, 0x40, 0x40)), "#404040"}, // colourless: the mean tone
        {"black.white", halfAndHalf(Qt::black), "#808080"},
        {"transparent", solid(Qt::transparent), "#808080"},
        {"wide.green", solid(QColor(0x10, 0xA0, 0x30), {128, 32}), "#10A030"},
    };
    for (const auto &[app, icon, accent] : cases) {
        SCOPED_TRACE(app);
        install(app, icon);
        EXPECT_EQ(icons.appAccentHex(app), QLatin1String(accent));
        AppIcons fresh(workspace);
        EXPECT_EQ(fresh.appAccentHex(app), QLatin1String(accent)); // the same on every run
    }
    EXPECT_EQ(icons.appAccentHex(QStringLiteral("not.installed")), u"#808080");
}

TEST_F(AppIconsTest, SeedingFillsTheCachesOfUninstalledAppsOnly)
{
    install(QStringLiteral("installed"), solid(Qt::red));
    icons.seedAppIconCache(QStringLiteral("installed"), pngOf(solid(Qt::blue)), QStringLiteral("#123456"));
    EXPECT_EQ(centreOf(icons.appIcon(QStringLiteral("installed"))), QColor(Qt::red));
    EXPECT_EQ(icons.appAccentHex(QStringLiteral("installed")), u"#FF0000");

    // Values read before seeding are replaced.
    const QString elsewhere = QStringLiteral("elsewhere");
    EXPECT_TRUE(icons.appIcon(elsewhere).isNull());
    EXPECT_EQ(icons.appAccentHex(elsewhere), u"#808080");
    icons.seedAppIconCache(elsewhere, pngOf(solid(Qt::blue)), QStringLiteral("#12ab34"));
    EXPECT_EQ(centreOf(icons.appIcon(elsewhere)), QColor(Qt::blue));
    EXPECT_EQ(centreOf(icons.appMenuIcon(elsewhere)), QColor(Qt::blue));
    EXPECT_EQ(icons.appAccentHex(elsewhere), u"#12AB34");
}

TEST_F(AppIconsTest, SeedingKeepsWhatItCannotReplace)
{
    const QString withIcon = QStringLiteral("with.icon");
    icons.seedAppIconCache(withIcon, pngOf(solid(Qt::green)), QString()); // no tint: taken from the icon
    EXPECT_EQ(icons.appAccentHex(withIcon), u"#00FF00");

    icons.seedAppIconCache(withIcon, QByteArray("not an image"), QStringLiteral("blue"));
    icons.seedAppIconCache(withIcon, std::nullopt, QStringLiteral("#12345"));
    EXPECT_EQ(centreOf(icons.appIcon(withIcon)), QColor(Qt::green));
    EXPECT_EQ(icons.appAccentHex(withIcon), u"#00FF00");

    const QString tintOnly = QStringLiteral("tint.only");
    icons.seedAppIconCache(tintOnly, std::nullopt, QStringLiteral("#A1B2C3"));
    EXPECT_EQ(icons.appAccentHex(tintOnly), u"#A1B2C3");
}

// An app that copied before its desktop entry was added kept the generic
// icon until a restart, though its name showed at once.
TEST_F(AppIconsTest, AnAppInstalledOrChangedLaterShowsItsIconAtOnce)
{
    const QString later = QStringLiteral("installed.later");
    EXPECT_TRUE(icons.appIcon(later).isNull());
    EXPECT_EQ(icons.appAccentHex(later), u"#808080");
    install(later, solid(Qt::red));
    EXPECT_EQ(centreOf(icons.appIcon(later)), QColor(Qt::red));
    EXPECT_EQ(centreOf(icons.appMenuIcon(later)), QColor(Qt::red));
    EXPECT_EQ(icons.appAccentHex(later), u"#FF0000");
    install(later, solid(Qt::green));
    EXPECT_EQ(centreOf(icons.appIcon(later)), QColor(Qt::green));

    // What another machine published stands until the app is installed here.
    const QString seeded = QStringLiteral("seeded");
    icons.seedAppIconCache(seeded, pngOf(solid(Qt::blue)), QStringLiteral("#0000FF"));
    install(QStringLiteral("another"), solid(Qt::red));
    EXPECT_EQ(centreOf(icons.appIcon(seeded)), QColor(Qt::blue));
    install(seeded, solid(Qt::yellow));
    EXPECT_EQ(centreOf(icons.appIcon(seeded)), QColor(Qt::yellow));
    EXPECT_EQ(icons.appAccentHex(seeded), u"#FFFF00");
}

TEST_F(AppIconsTest, PNGFillsTheRequestedSquare)
{
    install(QStringLiteral("small"), solid(Qt::red, {16, 16}));
    install(QStringLiteral("wide"), solid(Qt::red, {64, 32}));

    const auto upscaled = icons.appIconPNGData(QStringLiteral("small"), 256);
    ASSERT_TRUE(upscaled);
    const QImage big = QImage::fromData(*upscaled, "PNG");
    EXPECT_EQ(big.size(), QSize(256, 256));
    EXPECT_EQ(big.pixelColor(255, 255), QColor(Qt::red));

    const auto wide = icons.appIconPNGData(QStringLiteral("wide"), 64);
    ASSERT_TRUE(wide);
    const QImage centred = QImage::fromData(*wide, "PNG");
    EXPECT_EQ(centred.size(), QSize(64, 64));
    EXPECT_EQ(centred.pixelColor(32, 4).alpha(), 0);
    EXPECT_EQ(centred.pixelColor(32, 32), QColor(Qt::red));

    EXPECT_FALSE(icons.appIconPNGData(QStringLiteral("small"), 0));
    EXPECT_FALSE(icons.appIconPNGData(QStringLiteral("no.icon.at.all"), 64));
}

TEST_F(AppIconsTest, PublishesOnlyInstalledApps)
{
    install(QStringLiteral("installed"), solid(Qt::red));
    icons.seedAppIconCache(QStringLiteral("seeded"), pngOf(solid(Qt::blue)), QStringLiteral("#0000FF"));

    const auto info = icons.iconFor(QStringLiteral("installed"));
    ASSERT_TRUE(info);
    EXPECT_EQ(QImage::fromData(info->pngData, "PNG").size(), QSize(256, 256));
    EXPECT_EQ(info->tintHex, u"#FF0000");
    EXPECT_FALSE(icons.iconFor(QStringLiteral("seeded")));
}

} // namespace
