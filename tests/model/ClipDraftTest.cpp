#include "model/ClipDraft.h"
#include "support/TestImages.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

struct Classification
{
    const char16_t *text;
    ClipKind expected;
};

using tamo::testing::encodedImage;

QImage sampleImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

QSize decodedSize(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    EXPECT_EQ(reader.format(), "png");
    return reader.read().size();
}

} // namespace

TEST(TextClassification, RecognisesColoursAndWebLinksOnly)
{
    const Classification cases[] = {
        {u"hello", ClipKind::text},
        {u"", ClipKind::text},
        {u" \n\t", ClipKind::text},
        {u"#fff", ClipKind::color},
        {u"#00FF7f", ClipKind::color},
        {u"  #12345678\n", ClipKind::color},
        {u"#1234", ClipKind::text},
        {u"#12345", ClipKind::text},
        {u"#ggg", ClipKind::text},
        {u"fff", ClipKind::text},
        {u"#fff #000", ClipKind::text},
        {u"https://example.com", ClipKind::link},
        {u"\thttp://example.com/path?q=1#frag \n", ClipKind::link},
        {u"HTTPS://EXAMPLE.COM", ClipKind::link},
        {u"https://例え.jp/パス", ClipKind::link},
        {u"https://", ClipKind::text},
        {u"https:///path-without-host", ClipKind::text},
        {u"https://exa mple.com", ClipKind::text},
        {u"see https://example.com", ClipKind::text},
        {u"https://example.com\nhttps://example.org", ClipKind::text},
        {u"www.example.com", ClipKind::text},
        {u"ftp://example.com/file", ClipKind::text},
        {u"mailto:someone@example.com", ClipKind::text},
        {u"file:///etc/hosts", ClipKind::text},
        {u"javascript:alert(1)", ClipKind::text},
    };
    for (const Classification &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(classifyText(text), c.expected) << text.toStdString();
    }
}

TEST(ImageDraft, KeepsPngBytesUnchanged)
{
    const QImage image = sampleImage(7, 5);
    const QByteArray png = encodedImage(image, "png", 100);
    ASSERT_NE(png, encodedImage(image, "png")) << "input must differ from a fresh encoding";

    const auto draft = ClipDraft::fromImage(png);
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->kind, ClipKind::image);
    EXPECT_EQ(draft->imageData, png);
    EXPECT_EQ(draft->imageWidth, 7);
    EXPECT_EQ(draft->imageHeight, 5);
}

TEST(ImageDraft, ConvertsOtherFormatsToPng)
{
    for (const char *format : {"tiff", "jpeg", "bmp"}) {
        const auto draft = ClipDraft::fromImage(encodedImage(sampleImage(33, 17), format));
        ASSERT_TRUE(draft) << format;
        EXPECT_EQ(draft->imageWidth, 33) << format;
        EXPECT_EQ(draft->imageHeight, 17) << format;
        ASSERT_TRUE(draft->imageData);
        EXPECT_EQ(decodedSize(*draft->imageData), QSize(33, 17)) << format;
    }
}

TEST(ImageDraft, RejectsWhatIsNoUsableImage)
{
    const QByteArray png = encodedImage(sampleImage(4, 4), "png");

    // A BMP whose header claims 40000 × 40000 pixels but carries one.
    QByteArray bomb = encodedImage(sampleImage(1, 1), "bmp");
    qToLittleEndian<qint32>(40000, bomb.data() + 18);
    qToLittleEndian<qint32>(40000, bomb.data() + 22);

    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'/>";

    const std::pair<const char *, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"garbage", QByteArray("definitely not an image")},
        {"truncated png", png.left(30)},
        {"decompression bomb", bomb},
        {"vector image", svg},
    };
    for (const auto &[name, bytes] : cases)
        EXPECT_FALSE(ClipDraft::fromImage(bytes)) << name;
}
