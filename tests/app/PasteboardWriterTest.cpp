#include "app/PasteboardWriter.h"
#include "support/TestImages.h"
#include "model/ClipLibrary.h"
#include "model/LocalRecords.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SourceAppPublisher.h"
#include "model/SyncState.h"

#include "support/FakeClock.h"
#include "support/FakePasteboard.h"
#include "support/SampleClips.h"
#include "support/TempDir.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

QByteArray pngBytes()
{
    return tamo::testing::encodedImage(QSize(4, 4), Qt::blue);
}

ClipItemPtr richText(const QString &text, const QByteArray &rtf)
{
    return sampleClip(ClipDraft::fromText(text, rtf));
}

const QByteArray rtf = "{\\rtf1\\ansi {\\b Hello}}";
const QByteArray html = "<meta charset=\"utf-8\"><b>Hello</b>";

class PasteboardWriterTest : public ::testing::Test
{
protected:
    // An image too large to sync: its bytes live in a LocalImage record.
    ClipItemPtr localOnlyImage(const std::optional<QByteArray> &bytesHere)
    {
        ClipItemPtr image = sampleClip(*ClipDraft::fromImage(pngBytes()));
        image->setImageData(std::nullopt);
        image->setImageIsLocalOnly(true);
        context.insert(image);
        if (bytesHere)
            context.insert(std::make_shared<LocalImage>(image->id(), *bytesHere));
        EXPECT_TRUE(context.save());
        return image;
    }

    TempDir dir;
    ModelContainer container{dir.path()};
    ModelContext &context = container.mainContext();
    FakeClock clock;
    NoSync sync;
    SourceAppPublisher publisher{context, sync, nullptr};
    ClipLibrary library{context, clock, publisher};
    FakePasteboard pasteboard;
    PasteboardWriter writer{pasteboard, library};
};

} // namespace

TEST_F(PasteboardWriterTest, EachKindOffersWhatOtherAppsRead)
{
    const QByteArray png = pngBytes();
    const PasteboardItem files{{PasteboardType::fileURL, "file:///tmp/a%20b.txt\r\nfile:///tmp/c\r\n"},
                               {PasteboardType::string, "/tmp/a b.txt\n/tmp/c"}};
    struct Row
    {
        const char *name;
        ClipItemPtr clip;
        bool plainText;
        PasteboardItem item;
    };
    const QList<Row> rows{
        {"rich text", richText("Hello", rtf), false, {{PasteboardType::string, "Hello"}, {PasteboardType::rtf, rtf}}},
        {"rich text as plain text", richText("Hello", rtf), true, {{PasteboardType::string, "Hello"}}},
        {"a browser's rich text", richText("Hello", html), false,
         {{PasteboardType::string, "Hello"}, {PasteboardType::html, html}}},
        {"a browser's rich text as plain text", richText("Hello", html), true, {{PasteboardType::string, "Hello"}}},
        {"text", textClip("Grüße\n"), false, {{PasteboardType::string, "Grüße\n"}}},
        {"link", textClip("https://example.com/a?b=1"), false, {{PasteboardType::string, "https://example.com/a?b=1"}}},
        {"colour", textClip("#FF8800"), false, {{PasteboardType::string, "#FF8800"}}},
        {"image, plain text asked", sampleClip(*ClipDraft::fromImage(png)), true, {{PasteboardType::png, png}}},
        {"files, plain text asked", fileClip({"/tmp/a b.txt", "/tmp/c"}), true, files},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(writer.pasteboardItems({row.clip}, row.plainText), QList<PasteboardItem>{row.item});
    }
}

TEST_F(PasteboardWriterTest, SeveralClipsArriveAsOneJoinedItem)
{
    const QList<ClipItemPtr> clips{richText("one", rtf), textClip("https://example.com"), fileClip({"/tmp/a"}),
                                   textClip("#000000"), fileClip({"/tmp/b", "/tmp/c"})};
    EXPECT_EQ(writer.pasteboardItems(clips, false).size(), clips.size()) << "one item per clip";

    ASSERT_TRUE(writer.write(clips, false));
    EXPECT_EQ(pasteboard.contents()->string(), QStringLiteral("one\nhttps://example.com\n/tmp/a\n#000000\n/tmp/b\n/tmp/c"));
    EXPECT_EQ(pasteboard.contents()->fileList().urls,
              (QList<QUrl>{QUrl("file:///tmp/a"), QUrl("file:///tmp/b"), QUrl("file:///tmp/c")}));
    EXPECT_FALSE(pasteboard.contents()->data(PasteboardType::rtf)) << "rich texts cannot be joined";
}

TEST_F(PasteboardWriterTest, ImageKeptOnlyOnThisMachineIsWrittenFromItsLocalCopy)
{
    const QByteArray png = pngBytes();
    const PasteboardItem image{{PasteboardType::png, png}};
    EXPECT_EQ(writer.pasteboardItems({localOnlyImage(png)}, false), QList<PasteboardItem>{image});

    // Bytes that never reached this machine: the clip offers nothing, and
    // does not stand in for the clips that do.
    const ClipItemPtr missing = localOnlyImage(std::nullopt);
    const PasteboardItem text{{PasteboardType::string, "kept"}};
    EXPECT_EQ(writer.pasteboardItems({missing, textClip("kept")}, false), QList<PasteboardItem>{text});
    ASSERT_TRUE(writer.write({missing, localOnlyImage(png)}, false));
    EXPECT_EQ(pasteboard.contents()->data(PasteboardType::png), png);
}

TEST_F(PasteboardWriterTest, ReportsTheChangeCountOfItsOwnWriteOnly)
{
    pasteboard.copy({{PasteboardType::string, "another app's copy"}});
    const std::optional<int> count = writer.write({textClip("ours")}, false);
    ASSERT_TRUE(count);
    EXPECT_EQ(*count, pasteboard.changeCount());
    EXPECT_EQ(pasteboard.contents()->string(), QStringLiteral("ours"));

    // Nothing to write leaves the pasteboard as it was.
    EXPECT_FALSE(writer.write({localOnlyImage(std::nullopt)}, false));
    EXPECT_FALSE(writer.write({}, false));
    EXPECT_EQ(pasteboard.changeCount(), *count);
    EXPECT_EQ(pasteboard.contents()->string(), QStringLiteral("ours"));

    pasteboard.refusesWrites = true;
    EXPECT_FALSE(writer.write({textClip("refused")}, false));
}
