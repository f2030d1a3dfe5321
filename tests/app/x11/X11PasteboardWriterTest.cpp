#include "../../platform/x11/ClipboardCopies.h"
#include "app/CaptureDrafts.h"
#include "app/PasteboardCopy.h"
#include "app/PasteboardWriter.h"
#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SourceAppPublisher.h"
#include "model/SyncState.h"
#include "platform/AppInfo.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Pasteboard.h"

#include "support/FakeClock.h"
#include "support/SampleClips.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

class X11PasteboardWriterTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(x11.isValid()) << "this suite needs an X server"; }

    TempDir dir;
    ModelContainer container{dir.path()};
    FakeClock clock;
    NoSync sync;
    SourceAppPublisher publisher{container.mainContext(), sync, nullptr};
    ClipLibrary library{container.mainContext(), clock, publisher};
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11Pasteboard pasteboard{x11};
    PasteboardWriter writer{pasteboard, library};
};

} // namespace

TEST_F(X11PasteboardWriterTest, OtherAppsReadRichTextUnlessPlainTextWasAsked)
{
    const QByteArray rtf = "{\\rtf1\\ansi {\\b Gr\\u252?\\'fc\\u223?\\'df e}}";
    const ClipItemPtr text = sampleClip(ClipDraft::fromText(QStringLiteral("Grüße ✓"), rtf));

    const std::optional<int> count = writer.write({text}, false);
    ASSERT_TRUE(count);
    EXPECT_EQ(*count, pasteboard.changeCount());
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("text/rtf")), rtf);
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("UTF8_STRING")), QByteArray("Grüße ✓"));

    ASSERT_TRUE(writer.write({text}, true));
    EXPECT_FALSE(readClipboardWithXclip(QStringLiteral("TARGETS")).contains("text/rtf"));
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("text/plain;charset=utf-8")), QByteArray("Grüße ✓"));
}

TEST_F(X11PasteboardWriterTest, SeveralClipsPasteAsTheirJoinedTextAndOneFileList)
{
    ClipDraft files;
    files.kind = ClipKind::file;
    files.filePaths = QStringList{QStringLiteral("/tmp/a b.txt"), QStringLiteral("/tmp/c")};
    ASSERT_TRUE(writer.write({sampleClip(ClipDraft::fromText(QStringLiteral("first"))), sampleClip(files)}, false));

    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("UTF8_STRING")), QByteArray("first\n/tmp/a b.txt\n/tmp/c"));
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("text/uri-list")),
              QByteArray("file:///tmp/a%20b.txt\r\nfile:///tmp/c\r\n"));
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("x-special/gnome-copied-files")),
              QByteArray("copy\nfile:///tmp/a%20b.txt\nfile:///tmp/c"));
}

// Browsers and GTK apps carry their rich text as HTML, with no RTF: a clip
// made of such a copy and saved pastes both back as they came.
TEST_F(X11PasteboardWriterTest, ACopyOfHtmlAndTextPastesBackBothByteForByte)
{
    const QByteArray html = "<meta charset=\"utf-8\"><b>Grüße</b> &amp; <i>more</i>";
    const QByteArray text = "Grüße & more";
    auto owner = ClipboardCopies(pasteboard).peer(
        QStringLiteral("copy"), {QStringLiteral("text/plain;charset=utf-8"), QString::fromUtf8(text),
                                 QStringLiteral("text/html"), QString::fromUtf8(html)});
    PasteboardCopy copy(*pasteboard.contents());
    const std::optional<ClipDraft> draft = CaptureDrafts::fromCopy(copy, AppInfo());
    ASSERT_TRUE(draft);
    const std::optional<IngestResult> saved = library.ingest(*draft);
    ASSERT_TRUE(saved);
    owner.reset();

    ASSERT_TRUE(writer.write({saved->clip}, false));
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("text/html")), html);
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("UTF8_STRING")), text);
}
