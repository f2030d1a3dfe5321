#include "ClipboardCopies.h"
#include "support/TestImages.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Pasteboard.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

using namespace tamo;
using tamo::testing::ChildProcess;
using tamo::testing::readClipboardWithXclip;

namespace {

QByteArray pngBytes()
{
    return tamo::testing::encodedImage(QSize(8, 8), Qt::red);
}

class X11PasteboardTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(x11.isValid()) << "this suite needs an X server"; }

    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    // Short, so an owner that never answers costs the test little.
    x11::X11Pasteboard pasteboard{x11, {.budget = std::chrono::milliseconds(1000),
                                        .silence = std::chrono::milliseconds(1000)}};
    tamo::testing::ClipboardCopies copies{pasteboard};
};

TEST_F(X11PasteboardTest, SeesEachKindOfCopyWithItsTypeAndBytes)
{
    struct Row
    {
        QString target;
        QString type;
        QByteArray offered;
        QByteArray read;
    };
    const QByteArray png = pngBytes();
    const QByteArray tiff("II*\0\x08\0\0\0", 8);
    const QList<Row> rows{
        {"UTF8_STRING", PasteboardType::string, "Grüße ✓ 1", "Grüße ✓ 1"},
        {"text/plain;charset=utf-8", PasteboardType::string, "ünïcode", "ünïcode"},
        {"text/rtf", PasteboardType::rtf, "{\\rtf1 hi}", "{\\rtf1 hi}"},
        {"image/png", PasteboardType::png, png, png},
        {"image/tiff", PasteboardType::tiff, tiff, tiff},
        {"text/uri-list", PasteboardType::fileURL, "file:///tmp/a%20b.txt\r\n", "file:///tmp/a%20b.txt\r\n"},
        {"x-special/gnome-copied-files", PasteboardType::fileURL, "copy\nfile:///tmp/c", "file:///tmp/c\r\n"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.target.toStdString());
        const int countBefore = pasteboard.changeCount();
        const auto owner = copies.xclip(row.target, row.offered);
        EXPECT_GT(pasteboard.changeCount(), countBefore);
        EXPECT_EQ(pasteboard.contents()->types(), QStringList{row.type});
        EXPECT_EQ(pasteboard.contents()->data(row.type), row.read);
    }
}

TEST_F(X11PasteboardTest, CopyingTheSameTextAgainMovesTheCount)
{
    QSignalSpy changed(&pasteboard, &Pasteboard::changed);
    const auto first = copies.xclip(QStringLiteral("UTF8_STRING"), "same");
    const int countAfterFirst = pasteboard.changeCount();
    const auto second = copies.xclip(QStringLiteral("UTF8_STRING"), "same");

    EXPECT_GT(pasteboard.changeCount(), countAfterFirst);
    EXPECT_GE(changed.count(), 2);
    EXPECT_EQ(pasteboard.contents()->string(), QStringLiteral("same"));
}

TEST_F(X11PasteboardTest, OwnerQuittingEmptiesThePasteboard)
{
    auto owner = copies.xclip(QStringLiteral("UTF8_STRING"), "short-lived");
    ASSERT_FALSE(pasteboard.contents()->types().isEmpty());
    const int countWhileOwned = pasteboard.changeCount();

    owner.reset();

    EXPECT_TRUE(QTest::qWaitFor([&] { return pasteboard.changeCount() > countWhileOwned; }, 10000));
    EXPECT_FALSE(pasteboard.ownerProcessID());
    EXPECT_TRUE(pasteboard.contents()->types().isEmpty());
    EXPECT_FALSE(pasteboard.contents()->string());
}

TEST_F(X11PasteboardTest, BrowserLinkInAUriListIsNoFile)
{
    const auto owner = copies.xclip(QStringLiteral("text/uri-list"), "https://example.org/page\r\n");

    EXPECT_EQ(pasteboard.contents()->types(), QStringList{QStringLiteral("text/uri-list")});
    EXPECT_TRUE(pasteboard.contents()->fileURLs().isEmpty());
}

TEST_F(X11PasteboardTest, PasswordManagerHintMarksTheCopyConcealed)
{
    const auto peer = copies.peer(QStringLiteral("copy"),
                                   {QStringLiteral("text/plain"), QStringLiteral("hunter2"),
                                    QStringLiteral("x-kde-passwordManagerHint"), QStringLiteral("secret")});

    EXPECT_TRUE(pasteboard.contents()->types().contains(PasteboardType::concealed)) << pasteboard.contents()->types().join(' ').toStdString();
    EXPECT_EQ(pasteboard.contents()->string(), QStringLiteral("hunter2"));
    EXPECT_EQ(pasteboard.ownerProcessID(), peer->pid());
}

TEST_F(X11PasteboardTest, OwnWriteIsRecognisableAndReadableByOthers)
{
    const auto before = copies.xclip(QStringLiteral("UTF8_STRING"), "theirs");

    const std::optional<int> written = pasteboard.writeItems(
        {{{PasteboardType::string, "first ✓"}}, {{PasteboardType::string, "second"}}});

    ASSERT_TRUE(written);
    EXPECT_EQ(*written, pasteboard.changeCount());
    EXPECT_EQ(pasteboard.ownerProcessID(), QCoreApplication::applicationPid());
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("UTF8_STRING")), QByteArray("first ✓\nsecond"));

    const auto after = copies.xclip(QStringLiteral("UTF8_STRING"), "theirs again");
    EXPECT_GT(pasteboard.changeCount(), *written);
}

TEST_F(X11PasteboardTest, OwnWriteOffersEveryFormOfItsTypes)
{
    const QByteArray png = pngBytes();
    ASSERT_TRUE(pasteboard.writeItems({{{PasteboardType::fileURL, "file:///tmp/a%20b.txt\r\n"},
                                        {PasteboardType::concealed, ""}}}));

    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("text/uri-list")), QByteArray("file:///tmp/a%20b.txt\r\n"));
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("x-special/gnome-copied-files")),
              QByteArray("copy\nfile:///tmp/a%20b.txt"));
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));

    ASSERT_TRUE(pasteboard.writeItems({{{PasteboardType::png, png}}}));
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("image/png")), png);
}

TEST_F(X11PasteboardTest, EmptyWriteLeavesTheClipboardAlone)
{
    const int countBefore = pasteboard.changeCount();
    EXPECT_FALSE(pasteboard.writeItems({}));
    EXPECT_FALSE(pasteboard.writeItems({PasteboardItem()}));
    EXPECT_EQ(pasteboard.changeCount(), countBefore);
}

TEST_F(X11PasteboardTest, ReadsAHundredMegabyteImage)
{
    QByteArray image(100 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32 *>(image.data()), image.size() / 4);
    const auto owner = copies.xclip(QStringLiteral("image/png"), image);

    const std::optional<QByteArray> read = pasteboard.contents()->data(PasteboardType::png);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), image.size());
    EXPECT_TRUE(*read == image);
}

TEST_F(X11PasteboardTest, HostileOwnersGiveTheirTextWithinTheBudgetOrNothing)
{
    const QByteArray alphabet("abcdefghijklmnopqrstuvwxyz");
    const auto letters = [&](int size) {
        QByteArray text;
        while (text.size() < size)
            text += alphabet;
        return text.left(size);
    };
    struct Row
    {
        const char *name;
        QStringList owner;
        std::optional<QByteArray> text;
    };
    const QList<Row> rows{
        {"never sends", {"silent", "never"}, std::nullopt},
        {"lists 100,000 targets", {"targets", "100000", "listed"}, "listed"},
        {"pauses before each increment, 1.5 s in all", {"incr", "300000", "30000", "150"}, letters(300000)},
        {"falls silent for longer than the budget", {"incr", "300000", "100000", "1500"}, std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const auto owner = copies.hostile(row.owner);
        EXPECT_EQ(pasteboard.contents()->data(PasteboardType::string), row.text);
    }
}

TEST_F(X11PasteboardTest, OwnerQuittingRightAfterItsLastIncrementLosesNoCopy)
{
    for (int copy = 0; copy < 10; ++copy) {
        SCOPED_TRACE(copy);
        auto owner = copies.hostile({"incr", "100000", "4096", "5", "quit"});
        const std::optional<QByteArray> text = pasteboard.contents()->data(PasteboardType::string);
        EXPECT_EQ(text.value_or("<none>").size(), 100000);
    }
}

} // namespace
