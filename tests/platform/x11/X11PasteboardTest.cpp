#include "ClipboardCopies.h"
#include "support/TempDir.h"
#include "support/TestImages.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Pasteboard.h"

#include "XClients.h"

#include <QBuffer>
#include <QFile>
#include <QCoreApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>

#include <csignal>

using namespace tamo;
using tamo::testing::ChildProcess;
using tamo::testing::readClipboardWithXclip;
using tamo::testing::TempDir;
using tamo::testing::writeFile;

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
    x11::X11Pasteboard pasteboard{x11, {.budget = std::chrono::milliseconds(3000),
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
        {"UTF8_STRING", PasteboardType::string, QByteArray("nul-\0-inside", 12), QByteArray("nul-\0-inside", 12)},
        {"STRING", PasteboardType::string, "Gr\xfc\xdf" "e", "Grüße"},
        {"text/plain;charset=utf-16", PasteboardType::string, QByteArray("\xff\xfeh\0\xe9\0", 6), "hé"},
        {"text/plain;charset=utf-16", PasteboardType::string, QByteArray("h\0\xe9\0", 4), "hé"},
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
    EXPECT_TRUE(pasteboard.contents()->fileList().urls.isEmpty());
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
    for (const QString &managersList :
         {QStringLiteral("x-special/gnome-copied-files"), QStringLiteral("x-special/mate-copied-files")})
        EXPECT_EQ(readClipboardWithXclip(managersList), QByteArray("copy\nfile:///tmp/a%20b.txt"));
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));

    ASSERT_TRUE(pasteboard.writeItems({{{PasteboardType::png, png}}}));
    EXPECT_EQ(readClipboardWithXclip(QStringLiteral("image/png")), png);
}

// Apps ask for the text form they know: whichever it is, a pasted text
// arrives with the clip's own line ends.
TEST_F(X11PasteboardTest, OwnWriteGivesItsTextWithItsOwnLineEndsInEveryTextTarget)
{
    const QStringList textTargets{QStringLiteral("UTF8_STRING"), QStringLiteral("text/plain;charset=utf-8"),
                                  QStringLiteral("text/plain"), QStringLiteral("STRING"), QStringLiteral("TEXT")};
    for (const QByteArray &text : {QByteArray("lf\nlines\n"), QByteArray("crlf\r\nlines\r\n\r\n"),
                                   QByteArray("mixed\r\nlf\nand a lone\rcr")}) {
        SCOPED_TRACE(text.toStdString());
        ASSERT_TRUE(pasteboard.writeItems({{{PasteboardType::string, text}}}));
        const QByteArrayList offered = readClipboardWithXclip(QStringLiteral("TARGETS")).split('\n');
        for (const QString &target : textTargets) {
            SCOPED_TRACE(target.toStdString());
            EXPECT_TRUE(offered.contains(target.toLatin1()));
            EXPECT_EQ(readClipboardWithXclip(target), text);
        }
    }
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
        {"answers each of five requests after 0.2 s", {"slow", "200", "late"}, "late"},
        // One deadline for the copy, not one for each target or increment.
        {"answers each of five requests after 0.9 s, 4.5 s in all", {"slow", "900", "late"}, std::nullopt},
        {"trickles a byte every 0.3 s, 6 s in all", {"incr", "20", "1", "300"}, std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const auto owner = copies.hostile(row.owner);
        EXPECT_EQ(pasteboard.contents()->data(PasteboardType::string), row.text);
    }
}

// The text of a page is made from what was read, under the copy's one
// deadline: once it passed there is no text to make.
TEST_F(X11PasteboardTest, APageGivesNoTextOnceItsCopysTimeRanOut)
{
    const auto page = copies.xclip(QStringLiteral("text/html"), "<p>page</p>");
    const std::shared_ptr<PasteboardContents> contents = pasteboard.contents();
    ASSERT_EQ(contents->data(PasteboardType::string), "page");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !contents->data(PasteboardType::string); }, 10000))
        << "the page still gave its text after its copy's time";
    EXPECT_EQ(contents->data(PasteboardType::html), "<p>page</p>"); // read before
}

TEST_F(X11PasteboardTest, APageGivesNoTextOnceANewerCopyCame)
{
    const auto page = copies.xclip(QStringLiteral("text/html"), "<p>page</p>");
    const std::shared_ptr<PasteboardContents> contents = pasteboard.contents();
    ASSERT_EQ(contents->data(PasteboardType::string), "page");
    const auto newer = copies.xclip(QStringLiteral("UTF8_STRING"), "newer");
    EXPECT_EQ(contents->data(PasteboardType::string), std::nullopt);
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

namespace {

qint64 statusKilobytes(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Peak memory from now on.
bool resetPeakMemory()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

} // namespace

// A read ends when it has the cap: what passed it was never held.
TEST_F(X11PasteboardTest, AnEndlessIncrementalCopyStopsAtTheCapHoldingNoMoreThanIt)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer keeps freed memory";
#endif
    constexpr qsizetype cap = 64 * 1024 * 1024;
    x11::X11Pasteboard capped{x11, {.budget = std::chrono::seconds(60), .maxBytes = cap}};
    tamo::testing::ClipboardCopies cappedCopies{capped};
    const auto owner = cappedCopies.hostile({"incr", "2147483648", "1048576", "0"});
    ASSERT_TRUE(resetPeakMemory());
    const qint64 before = statusKilobytes("VmRSS:");

    EXPECT_FALSE(capped.contents()->data(PasteboardType::string));
    const qint64 grownBy = (statusKilobytes("VmHWM:") - before) * 1024;
    EXPECT_LT(grownBy, cap + cap / 4) << grownBy / (1024 * 1024) << " MB more at the peak";
}

// A file list is read no further than a clip keeps it, however the owner
// sends it: a read of the whole once held a list of 256 MB.
TEST_F(X11PasteboardTest, AFileListIsReadNoFurtherThanItsFirstSixteenMegabytes)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer keeps freed memory";
#endif
    constexpr qsizetype cap = PasteboardContents::largestFileList;
    // Patient: the server takes a while to be handed 64 MB at once.
    x11::X11Pasteboard patient{x11, {.budget = std::chrono::seconds(60), .silence = std::chrono::seconds(30)}};
    tamo::testing::ClipboardCopies patientCopies{patient};
    const TempDir offer;
    writeFile(offer.file(QStringLiteral("TARGETS")), "TARGETS\ntext/uri-list\n");
    writeFile(offer.file(QStringLiteral("text%2Furi-list")), QByteArray("file:///tmp/a\r\n").repeated(4 * cap / 15));
    const struct
    {
        const char *name;
        qsizetype increment;
    } rows[] = {{"in one piece", 0}, {"in increments", 1024 * 1024}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const auto owner = patientCopies.recorded(offer.path(), {QStringLiteral("increment"), QString::number(row.increment)});
        ASSERT_TRUE(resetPeakMemory());
        const qint64 before = statusKilobytes("VmRSS:");

        const PasteboardContents::FileList files = patient.contents()->fileList();
        const qint64 grownBy = (statusKilobytes("VmHWM:") - before) * 1024;
        EXPECT_EQ(files.urls.size(), PasteboardContents::mostFiles);
        EXPECT_TRUE(files.cut);
        EXPECT_LT(grownBy, 3 * cap) << grownBy / (1024 * 1024) << " MB more at the peak";
    }
}

// A copy read holds no connection to the server while it is kept.
// An owner still answers a read that stopped waiting for it. Had that read's
// window gone, xclip would die of the error and take its copy with it; so
// would the next copy's owner, had the request reached that one.
TEST_F(X11PasteboardTest, AnOwnerAnsweringAReadThatGaveUpKeepsItsCopy)
{
    const auto owner = copies.xclip(QStringLiteral("UTF8_STRING"), "kept");
    ASSERT_EQ(::kill(pid_t(owner->pid()), SIGSTOP), 0);
    EXPECT_EQ(pasteboard.contents()->data(PasteboardType::string), std::nullopt);
    ASSERT_EQ(::kill(pid_t(owner->pid()), SIGCONT), 0);

    // The owner answers in turn: by this answer it has answered the first.
    x11::X11Pasteboard later{x11};
    EXPECT_EQ(later.contents()->data(PasteboardType::string), "kept");
    EXPECT_TRUE(owner->running());
}

TEST_F(X11PasteboardTest, CopiesKeptAfterTheirReadHoldNoConnection)
{
    const qint64 pid = QCoreApplication::applicationPid();
    const std::optional<int> before = tamo::testing::xClientsOf(pid);
    ASSERT_TRUE(before) << "the X server lists no clients";
    QList<std::shared_ptr<PasteboardContents>> kept;
    for (int copy = 0; copy < 10; ++copy) {
        const auto owner = copies.xclip(QStringLiteral("UTF8_STRING"), "kept " + QByteArray::number(copy));
        kept.append(pasteboard.contents());
        EXPECT_EQ(kept.last()->string(), QStringLiteral("kept %1").arg(copy));
    }
    EXPECT_EQ(tamo::testing::xClientsOf(pid), before);
}

// A newer copy, or a quit, ends a read that waits for an owner at once,
// however long the owner was given.
TEST_F(X11PasteboardTest, AReadWaitingForAnOwnerEndsWhenANewerCopyComesOrReadsAreAbandoned)
{
    x11::X11Pasteboard patient{x11, {.budget = std::chrono::seconds(120), .silence = std::chrono::seconds(120)}};
    tamo::testing::ClipboardCopies patientCopies{patient};
    const QList<std::pair<const char *, std::function<std::unique_ptr<ChildProcess>()>>> rows{
        {"a newer copy", [&] { return patientCopies.xclip(QStringLiteral("UTF8_STRING"), "newer"); }},
        {"reads abandoned", [&] { patient.abandonReads(); return std::unique_ptr<ChildProcess>(); }},
    };
    for (const auto &[name, ending] : rows) {
        SCOPED_TRACE(name);
        const auto silent = patientCopies.hostile({"silent", "never sent"});
        const std::shared_ptr<PasteboardContents> contents = patient.contents();
        std::future<std::optional<QByteArray>> read =
            std::async(std::launch::async, [contents] { return contents->data(PasteboardType::string); });
        ASSERT_TRUE(silent->waitForLine(QStringLiteral("asked")));
        const auto newer = ending();
        ASSERT_TRUE(QTest::qWaitFor([&] { return read.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                    30000))
            << "the read still waits";
        EXPECT_FALSE(read.get());
    }
}
