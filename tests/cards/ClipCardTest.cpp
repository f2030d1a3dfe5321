#include "CardFixture.h"
#include "support/TestImages.h"
#include "support/WarningLog.h"

#include "cards/CardMetrics.h"
#include "model/Sqlite.h"
#include "model/SettingsKeys.h"

#include <QDir>
#include <QFile>

#include <functional>

using namespace tamo;
using namespace tamo::testing;

namespace {

QByteArray png(int width, int height)
{
    return encodedImage({width, height}, Qt::darkCyan);
}

// Columns of the content area holding text ink (pixels far from the body's colour).
std::pair<int, int> inkColumns(const QImage &image, const QRectF &area)
{
    const QColor body = image.pixelColor(QPoint(int(area.left()) - 4, int(area.bottom())));
    int left = INT_MAX;
    int right = -1;
    for (int y = int(area.top()); y < int(area.bottom()); ++y) {
        for (int x = int(area.left()); x < int(area.right()); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.lightness() - body.lightness()) > 80) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

} // namespace

class ClipCardTest : public CardFixture
{
protected:
    ClipItemPtr fileClip(const QStringList &paths)
    {
        ClipDraft draft;
        draft.kind = ClipKind::file;
        draft.filePaths = paths;
        return saved(draft);
    }

    ClipItemPtr imageClip(const std::optional<QByteArray> &bytes)
    {
        ClipDraft draft;
        draft.kind = ClipKind::image;
        draft.imageData = bytes;
        return saved(draft);
    }

    // Kinds a newer version adds arrive through sync; only the store can hold one.
    ClipItemPtr clipOfUnknownKind()
    {
        QUuid id = savedText(QStringLiteral("a sticker"))->id();
        sql::Database db;
        db.open(QDir(storeDir.path()).filePath(QLatin1String(ModelContainer::syncedStoreName)));
        db.exec(QStringLiteral("UPDATE ClipItem SET kindRaw = 'sticker'"));
        return model().container().mainContext().fetch<ClipItem>(
            FetchDescriptor().where(ClipItem::IdColumn, FetchDescriptor::Compare::equal, id)).value(0);
    }

    TempDir files;
};

TEST_F(ClipCardTest, EveryKindAndEveryBadInputDrawsWithoutWarnings)
{
    using Status = Thumbnail::Status;
    const QString photo = files.file(QStringLiteral("photo.png"));
    QImage(1200, 800, QImage::Format_RGB32).save(photo);
    const struct {
        const char *name;
        std::function<ClipItemPtr()> make;
        std::optional<Status> picture; // none: the kind shows no picture
    } cases[] = {
        {"text", [&] { return savedText(QStringLiteral("Meet at the north entrance at 7:30.")); }, {}},
        {"5 MB of text", [&] { return savedText(QStringLiteral("lorem ipsum dolor sit amet\n").repeated(200'000)); }, {}},
        {"1,000 keywords", [&] {
             auto clip = savedText(QStringLiteral("tagged"));
             QStringList keywords;
             for (int i = 0; i < 1000; ++i)
                 keywords.append(QStringLiteral("keyword%1").arg(i));
             clip->setKeywords(keywords);
             return clip;
         }, {}},
        {"link with its page", [&] {
             auto clip = savedText(QStringLiteral("https://example.org/walk"));
             clip->setLinkTitle(QStringLiteral("Walking the coast"));
             clip->setLinkImageData(png(1200, 630));
             clip->setLinkPreviewFetched(true);
             model().container().mainContext().save();
             return clip;
         }, Status::ready},
        {"link not fetched", [&] { return savedText(QStringLiteral("https://example.org/walk")); }, {}},
        {"image", [&] { return imageClip(png(1600, 1000)); }, Status::ready},
        {"image without bytes", [&] { return imageClip(std::nullopt); }, Status::missing},
        {"image that does not decode", [&] { return imageClip(QByteArray("not an image")); }, Status::undecodable},
        {"image file", [&] { return fileClip({photo}); }, Status::ready},
        {"file that is gone", [&] { return fileClip({files.file(QStringLiteral("gone.pdf"))}); }, Status::missing},
        {"folder", [&] { return fileClip({files.path()}); }, Status::folder},
        {"no files at all", [&] { return fileClip({}); }, Status::missing},
        {"colour", [&] { return savedText(QStringLiteral("#FF9500")); }, {}},
        {"unknown kind", [&] { return clipOfUnknownKind(); }, {}},
        {"no source app", [&] { return saved(ClipDraft::fromText(QStringLiteral("plain"))); }, {}},
        {"clip outside any store", [&] {
             return std::make_shared<ClipItem>(*ClipDraft::fromImage(png(640, 480)), clock.now());
         }, Status::ready},
    };

    ClipCard &card = showCard();
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        const WarningLog warnings;
        card.setItem(row.make());
        const QImage painted = paintedWithPicture(card);
        EXPECT_EQ(warnings.text(), "");

        const auto &picture = card.appearance().content.picture;
        EXPECT_EQ(picture.has_value(), row.picture.has_value());
        if (picture && row.picture) {
            EXPECT_EQ(picture->status, *row.picture);
        }
        const QRectF content = CardMetrics(card.fields().size, false).contentRect(card.rect());
        const QColor corner = painted.pixelColor(content.topLeft().toPoint());
        bool drawn = false;
        for (int y = int(content.top()); y < int(content.bottom()) && !drawn; y += 2)
            for (int x = int(content.left()); x < int(content.right()) && !drawn; x += 2)
                drawn = painted.pixelColor(x, y) != corner;
        EXPECT_TRUE(drawn) << "the content area shows something";
    }
}

TEST_F(ClipCardTest, UnknownKindsShowAsText)
{
    ClipCard &card = showCard();
    card.setItem(clipOfUnknownKind());
    EXPECT_EQ(card.item()->kindRaw(), QStringLiteral("sticker"));
    EXPECT_EQ(card.appearance().content.kind, ClipKind::text);
    EXPECT_EQ(card.appearance().content.text, QStringLiteral("a sticker"));
}

TEST_F(ClipCardTest, ReadsNoImageBytesUntilItIsDrawn)
{
    auto *card = new ClipCard(context(), &window); // never shown
    QSignalSpy ready(&thumbnails, &ThumbnailCache::ready);
    card->setItem(imageClip(png(800, 600)));
    card->setSelected(true);
    card->setQuickPasteNumber(3);
    EXPECT_FALSE(ready.wait(300));

    card->grab();
    EXPECT_TRUE(ready.wait(10'000));
}

TEST_F(ClipCardTest, RightToLeftTextStartsAtTheRight)
{
    ClipCard &card = showCard();
    const QRectF content = CardMetrics(card.fields().size, false).contentRect(card.rect());
    card.setItem(savedText(QStringLiteral("Hello there")));
    const auto [ltrLeft, ltrRight] = inkColumns(card.grab().toImage(), content);
    card.setItem(savedText(QStringLiteral("שלום לכולם")));
    const auto [rtlLeft, rtlRight] = inkColumns(card.grab().toImage(), content);

    EXPECT_LT(ltrLeft - content.left(), 3);
    EXPECT_GT(content.right() - ltrRight, content.width() / 2);
    EXPECT_LT(content.right() - rtlRight, 3);
    EXPECT_GT(rtlLeft - content.left(), content.width() / 2);
}

TEST_F(ClipCardTest, LongTextIsCutInsideTheCard)
{
    ClipCard &card = showCard();
    card.setItem(savedText(QStringLiteral("word ").repeated(1'000'000)));
    const QRectF content = CardMetrics(card.fields().size, false).contentRect(card.rect());
    const QRectF belowContent(content.left(), content.bottom(), content.width(), card.height() - content.bottom() - 4);
    const auto [left, right] = inkColumns(card.grab().toImage(), belowContent);
    EXPECT_EQ(right, -1) << "no text below the content area";
}

TEST_F(ClipCardTest, StyleAndTextScaleFollowTheSettingsUnlessForced)
{
    ClipCard &card = showCard();
    card.setItem(savedText(QStringLiteral("styled")));
    EXPECT_EQ(card.appearance().style, CardStyle::glass) << "glass while unset";

    defaults.setValue(keys::cardStyle, QStringLiteral("classic"));
    defaults.setValue(keys::cardTextScale, 1.5);
    EXPECT_EQ(card.appearance().style, CardStyle::classic);
    EXPECT_DOUBLE_EQ(card.appearance().textScale, 1.5);

    card.setForcedStyle(CardStyle::glass);
    EXPECT_EQ(card.appearance().style, CardStyle::glass);
    card.setForcedStyle(std::nullopt);
    defaults.setValue(keys::cardStyle, QStringLiteral("fancy"));
    EXPECT_EQ(card.appearance().style, CardStyle::glass) << "an unknown stored style reads as glass";
}

TEST_F(ClipCardTest, BadgeOnlyForTheFirstNineAndTagWithItsColour)
{
    ClipCard &card = showCard();
    card.setItem(savedText(QStringLiteral("badged")));
    const struct {
        std::optional<int> given;
        std::optional<int> shown;
    } rows[] = {{1, 1}, {9, 9}, {0, {}}, {10, {}}, {-1, {}}, {{}, {}}};
    for (const auto &row : rows) {
        card.setQuickPasteNumber(row.given);
        EXPECT_EQ(card.appearance().header.quickPasteNumber, row.shown);
    }

    auto board = std::make_shared<Pinboard>(QStringLiteral("Work"), 4, 0);
    card.setPinboardTag(board);
    ASSERT_TRUE(card.appearance().header.pinboard);
    EXPECT_EQ(card.appearance().header.pinboard->name, QStringLiteral("Work"));
    EXPECT_EQ(card.appearance().header.pinboard->color, board->color());
}

TEST_F(ClipCardTest, LinkPreviewsShowOnlyWhileTheSettingIsOn)
{
    ClipCard &card = showCard();
    auto clip = savedText(QStringLiteral("https://www.example.org/walk"));
    clip->setLinkTitle(QStringLiteral("Walking the coast"));
    clip->setLinkPreviewFetched(true);
    model().container().mainContext().save();
    card.setItem(clip);
    EXPECT_TRUE(card.appearance().content.isLinkPreview);
    EXPECT_EQ(card.appearance().content.text, QStringLiteral("Walking the coast"));
    EXPECT_EQ(card.appearance().content.detail, QStringLiteral("example.org"));

    defaults.setValue(keys::linkPreviews, false);
    EXPECT_FALSE(card.appearance().content.isLinkPreview);
    EXPECT_EQ(card.appearance().content.text, QStringLiteral("https://www.example.org/walk"));
}

TEST_F(ClipCardTest, APagePreviewThatLandsLaterReplacesTheUrl)
{
    ClipCard &card = showCard();
    auto clip = savedText(QStringLiteral("https://example.org/walk"));
    card.setItem(clip);
    card.grab();
    EXPECT_FALSE(card.appearance().content.isLinkPreview);

    // The fetcher writes the preview, the card repaints before the save.
    clip->setLinkTitle(QStringLiteral("Walking the coast"));
    clip->setLinkImageData(png(1200, 630));
    clip->setLinkPreviewFetched(true);
    paintedWithPicture(card);
    model().container().mainContext().save();

    QSignalSpy ready(&thumbnails, &ThumbnailCache::ready);
    card.grab();
    if (!card.appearance().content.picture) {
        ASSERT_TRUE(ready.wait(10'000));
    }
    ASSERT_TRUE(card.appearance().content.picture);
    EXPECT_EQ(card.appearance().content.picture->status, Thumbnail::Status::ready);
    EXPECT_EQ(card.appearance().content.text, QStringLiteral("Walking the coast"));
}

TEST_F(ClipCardTest, IsASquareOfItsSizeAndPaintsForAnyDevicePixelRatio)
{
    ClipCard &card = showCard();
    card.setItem(imageClip(png(800, 600)));
    card.setSize(CardSize{0.54});
    EXPECT_EQ(card.size(), QSize(164, 164));

    CardFields fields = card.fields();
    const CardAppearanceBuilder builder(context());
    QSignalSpy ready(&thumbnails, &ThumbnailCache::ready);
    CardAppearance sharp = builder.build(fields, card.palette(), 2.0);
    while (!sharp.content.picture && ready.wait(10'000))
        sharp = builder.build(fields, card.palette(), 2.0);
    ASSERT_TRUE(sharp.content.picture);
    const QRectF box = CardPainter::pictureRect(QRectF(0, 0, 164, 164), sharp);
    EXPECT_LE(sharp.content.picture->image.width(), qCeil(box.width() * 2) + 16);
    EXPECT_GT(sharp.content.picture->image.width(), box.width()) << "made for the device pixels";
}
