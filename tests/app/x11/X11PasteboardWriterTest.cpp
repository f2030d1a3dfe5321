#include "../../platform/x11/ChildProcess.h"
#include "app/PasteboardWriter.h"
#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SourceAppPublisher.h"
#include "model/SyncState.h"
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
