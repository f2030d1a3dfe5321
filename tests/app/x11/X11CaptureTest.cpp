#include "app/ClipboardMonitor.h"
#include "support/TestImages.h"
#include "model/DefaultSettings.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/x11/ClipboardCopies.h"
#include "platform/x11/OtherClient.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Workspace.h"
#include "platform/x11/XClients.h"
#include "support/TempDir.h"
#include "support/WarningLog.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include <unistd.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

QByteArray pngBytes(QSize size)
{
    return tamo::testing::encodedImage(size, Qt::darkGreen);
}

// Noise does not compress: a 1 MB PNG, as a screenshot of a photo is.
QByteArray megabytePng()
{
    QImage image(600, 600, QImage::Format_RGB32);
    QRandomGenerator generator(11);
    for (int y = 0; y < image.height(); ++y)
        generator.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), image.width());
    return tamo::testing::encodedImage(image);
}

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * qint64(getpagesize());
}

// The first pointer button, pressed through XTest until released or the
// test ends.
class HeldButton
{
public:
    HeldButton() { xdotool(QStringLiteral("mousedown")); }
    ~HeldButton() { release(); }
    HeldButton(const HeldButton &) = delete;
    HeldButton &operator=(const HeldButton &) = delete;

    void release()
    {
        if (std::exchange(m_held, false))
            xdotool(QStringLiteral("mouseup"));
    }

private:
    static void xdotool(const QString &action)
    {
        EXPECT_EQ(QProcess::execute(QStringLiteral("xdotool"), {action, QStringLiteral("1")}), 0);
    }

    bool m_held = true;
};

// A monitor with the budgets a user has, in place of the suite's short ones.
struct PatientCapture
{
    PatientCapture(x11::X11Connection x11, x11::X11Workspace &workspace, const Defaults &defaults)
        : pasteboard(x11)
        , monitor(pasteboard, workspace, defaults)
    {
        QObject::connect(&monitor, &ClipboardMonitor::captured,
                         [this](const ClipDraft &draft) { texts.append(draft.text.value_or(QString())); });
        monitor.start();
    }

    x11::X11Pasteboard pasteboard;
    ClipboardCopies copies{pasteboard};
    ClipboardMonitor monitor;
    QStringList texts;
};

// Copies made by other X clients, captured by a monitor on the real clipboard.
class X11CaptureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x11.isValid()) << "this suite needs an X server";
        registerDefaultSettings(defaults);
        QObject::connect(&monitor, &ClipboardMonitor::captured, [this](const ClipDraft &draft) { drafts.append(draft); });
        monitor.start();
    }

    // Another app's copy; the monitor has handled its change on return.
    std::unique_ptr<ChildProcess> copyWithXclip(const QString &target, const QByteArray &bytes)
    {
        return handled(copies.xclip(target, bytes));
    }
    // One copy offering several types: mime, text, mime, text, ...
    std::unique_ptr<ChildProcess> copyWithPeer(const QStringList &mimeAndText)
    {
        return handled(copies.peer(QStringLiteral("copy"), mimeAndText));
    }
    std::unique_ptr<ChildProcess> copyWithHostile(const QStringList &modeAndArguments)
    {
        return handled(copies.hostile(modeAndArguments));
    }
    static std::unique_ptr<ChildProcess> handled(std::unique_ptr<ChildProcess> owner)
    {
        // The change is announced by now; this runs the monitor's handling of it.
        QCoreApplication::sendPostedEvents();
        return owner;
    }

    // Waits for one more draft.
    const ClipDraft *nextDraft()
    {
        const qsizetype count = ++m_expected;
        if (!QTest::qWaitFor([&] { return drafts.size() >= count; }, 10000))
            return nullptr;
        return &drafts[count - 1];
    }

    // Another app's copy-on-select: it takes PRIMARY with `script`'s text.
    static std::unique_ptr<ChildProcess> select(const QString &script)
    {
        return std::make_unique<ChildProcess>(QStringLiteral("sh"), QStringList{QStringLiteral("-c"), script});
    }
    static QString selecting(const QString &text)
    {
        return QStringLiteral("printf \"%1\" | xclip -quiet -selection primary").arg(text);
    }
    // Long enough for a selection to settle and be read.
    static void settle() { QTest::qWait(1200); }

    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11Pasteboard pasteboard{x11, {.budget = std::chrono::milliseconds(1000)}};
    ClipboardCopies copies{pasteboard};
    x11::X11ActiveWindow activeWindow{x11};
    DesktopEntries apps;
    x11::X11Workspace workspace{x11, activeWindow, apps};
    // Constructed last: whatever earlier tests left on the clipboard is old.
    ClipboardMonitor monitor{pasteboard, workspace, defaults};
    QList<ClipDraft> drafts;

private:
    qsizetype m_expected = 0;
};

TEST_F(X11CaptureTest, EachKindOfCopyBecomesItsDraftAndSecretsNone)
{
    const QByteArray png = pngBytes({12, 9});

    auto owner = copyWithXclip(QStringLiteral("UTF8_STRING"), "plain ✓ text");
    const ClipDraft *draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->kind, ClipKind::text);
    EXPECT_EQ(draft->text, QStringLiteral("plain ✓ text"));

    owner = copyWithPeer({QStringLiteral("text/plain"), QStringLiteral("rich"), QStringLiteral("text/rtf"),
                          QStringLiteral("{\\rtf1 {\\b rich}}")});
    draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->kind, ClipKind::text);
    EXPECT_EQ(draft->text, QStringLiteral("rich"));
    EXPECT_EQ(draft->rtfData, QByteArray("{\\rtf1 {\\b rich}}"));

    owner = copyWithXclip(QStringLiteral("image/png"), png);
    draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->kind, ClipKind::image);
    EXPECT_EQ(draft->imageData, png);
    EXPECT_EQ(QSize(draft->imageWidth, draft->imageHeight), QSize(12, 9));

    owner = copyWithXclip(QStringLiteral("text/uri-list"), "file:///tmp/a.txt\r\nfile:///tmp/b%20c.txt\r\n");
    draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->kind, ClipKind::file);
    EXPECT_EQ(draft->filePaths, (QStringList{QStringLiteral("/tmp/a.txt"), QStringLiteral("/tmp/b c.txt")}));

    owner = copyWithXclip(QStringLiteral("UTF8_STRING"), QByteArray("nul-\0-inside", 12));
    draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->text, QString::fromUtf8(QByteArray("nul-\0-inside", 12)));

    owner = copyWithXclip(QStringLiteral("text/html"), "<p><b>bold</b> &amp; plain</p>");
    draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->kind, ClipKind::text);
    EXPECT_EQ(draft->text, QStringLiteral("bold & plain"));

    owner = copyWithPeer({QStringLiteral("text/plain"), QStringLiteral("hunter2"),
                          QStringLiteral("x-kde-passwordManagerHint"), QStringLiteral("secret")});
    owner = copyWithPeer({QStringLiteral("text/plain"), QStringLiteral("hunter3"),
                          QStringLiteral("chromium/x-source-url"), QStringLiteral("chrome://password-manager/passwords")});
    // The next copy's draft comes next: the secrets left none.
    owner = copyWithXclip(QStringLiteral("UTF8_STRING"), "after the secret");
    draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->text, QStringLiteral("after the secret"));
    EXPECT_EQ(drafts.size(), 7);
}

TEST_F(X11CaptureTest, OwnWriteIsSkippedButTheNextCopyIsCaptured)
{
    // The write announces its change before it returns the count.
    const std::optional<int> written = pasteboard.writeItems({{{PasteboardType::string, "pasted by us"}}});
    ASSERT_TRUE(written);
    monitor.skipChange(*written);

    const int before = pasteboard.changeCount();
    const auto owner = copyWithXclip(QStringLiteral("UTF8_STRING"), "theirs");
    ASSERT_TRUE(nextDraft());
    QTest::qWait(200); // the second notice of the lost ownership has arrived by now
    // Taking the clipboard from us is one copy, captured once.
    EXPECT_EQ(pasteboard.changeCount(), before + 1);
    ASSERT_EQ(drafts.size(), 1);
    EXPECT_EQ(drafts.first().text, QStringLiteral("theirs"));
}

TEST_F(X11CaptureTest, AnOwnerThatHoldsItsAnswerHoldsNothingButItsCopy)
{
    // Handled without waiting: the owner answers only after this returns.
    auto owner = copyWithHostile({QStringLiteral("hold"), QStringLiteral("answered late")});
    owner->write("answer\n");

    const ClipDraft *draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->text, QStringLiteral("answered late"));
}

TEST_F(X11CaptureTest, AnOwnerThatNeverAnswersCostsOnlyItsCopyWithOneLine)
{
    WarningLog log;
    auto owner = copyWithHostile({QStringLiteral("silent"), QStringLiteral("never sent")});
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(log.messages().filter(QStringLiteral("TamoCove: ")).size(), 1) << log.text();

    owner = copyWithXclip(QStringLiteral("UTF8_STRING"), "copied next");
    const ClipDraft *draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->text, QStringLiteral("copied next"));
}

// Each copy is read while its app still holds it, however long the main
// thread is held up: five xclip copies 150 ms apart, each ending the one before.
TEST_F(X11CaptureTest, CopiesMadeWhileTheMainThreadIsBlockedAreAllKeptInOrder)
{
    ChildProcess burst(QStringLiteral("sh"),
                       {QStringLiteral("-c"), QStringLiteral("for i in 1 2 3 4 5; do printf 'burst %s' $i"
                                                             " | xclip -quiet -selection clipboard & sleep 0.15; done;"
                                                             " wait")});
    QThread::msleep(1500);

    QStringList texts;
    for (int i = 0; i < 5; ++i) {
        const ClipDraft *draft = nextDraft();
        ASSERT_TRUE(draft) << "kept only " << texts.join(", ").toStdString();
        texts.append(draft->text.value_or(QString()));
    }
    EXPECT_EQ(texts.join(QStringLiteral(", ")), QStringLiteral("burst 1, burst 2, burst 3, burst 4, burst 5"));
}

TEST_F(X11CaptureTest, ASelectionIsKeptOnceAndOnlyWhileAutomaticCopiesAreSaved)
{
    auto owner = select(selecting(QStringLiteral("while off")));
    settle();
    EXPECT_TRUE(drafts.isEmpty());

    defaults.setValue(keys::saveAutomaticCopies, true);
    owner = select(selecting(QStringLiteral("while on")));
    const ClipDraft *draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->text, QStringLiteral("while on"));
    settle();
    EXPECT_EQ(drafts.size(), 1);
}

TEST_F(X11CaptureTest, OurOwnSelectionAndOneRepeatingTheClipboardAreNotKept)
{
    defaults.setValue(keys::saveAutomaticCopies, true);
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted by us"), QClipboard::Selection);
    settle();
    EXPECT_TRUE(drafts.isEmpty());

    const auto copied = copyWithXclip(QStringLiteral("UTF8_STRING"), "on both");
    ASSERT_TRUE(nextDraft());
    auto owner = select(selecting(QStringLiteral("on both")));
    settle();
    owner = select(selecting(QStringLiteral("only selected")));
    const ClipDraft *draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->text, QStringLiteral("only selected"));
    settle();
    EXPECT_EQ(drafts.size(), 2);
}

// A drag hands PRIMARY on with every move; only where it stops is kept.
TEST_F(X11CaptureTest, OfABurstOfSelectionsOnlyTheSettledOneIsKept)
{
    defaults.setValue(keys::saveAutomaticCopies, true);
    const auto burst = select(QStringLiteral("for i in 1 2 3 4 5; do %1 & sleep 0.05; done; wait")
                                  .arg(selecting(QStringLiteral("drag $i"))));
    const ClipDraft *draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->text, QStringLiteral("drag 5"));
    settle();
    EXPECT_EQ(drafts.size(), 1);
}

// A copy is read on a connection of its own, which goes when the read ends:
// kept for every copy, they filled the server's 256 client slots after 250
// copies, and then no app could open a window.
TEST_F(X11CaptureTest, ThreeHundredCopiesLeaveTheConnectionsToTheServerAsTheyWere)
{
    const qint64 pid = QCoreApplication::applicationPid();
    auto owner = copyWithXclip(QStringLiteral("UTF8_STRING"), "before");
    ASSERT_TRUE(nextDraft());
    QThreadPool::globalInstance()->waitForDone();
    const std::optional<int> before = xClientsOf(pid);
    ASSERT_TRUE(before) << "the X server lists no clients";

    for (int copy = 1; copy <= 300; ++copy) {
        owner = copyWithXclip(QStringLiteral("UTF8_STRING"), "copy " + QByteArray::number(copy));
        const ClipDraft *draft = nextDraft();
        ASSERT_TRUE(draft) << "copy " << copy << " was not captured";
        ASSERT_EQ(draft->text, QStringLiteral("copy %1").arg(copy));
    }
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_TRUE(QTest::qWaitFor([&] { return xClientsOf(pid).value_or(INT_MAX) <= *before; }, 5000))
        << xClientsOf(pid).value_or(-1) << " connections against " << *before << " before";
    EXPECT_TRUE(OtherClient().isConnected());
}

// What a copy read is let go once its capture is done.
TEST_F(X11CaptureTest, AHundredImagesLeaveTheMemoryAsItWas)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer keeps freed memory";
#endif
    const QByteArray png = megabytePng();
    ASSERT_GT(png.size(), 1000 * 1000);
    const auto copyImages = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const auto owner = copyWithXclip(QStringLiteral("image/png"), png);
            const ClipDraft *draft = nextDraft();
            ASSERT_TRUE(draft) << "image " << i << " was not captured";
            drafts.last().imageData.reset(); // the test keeps none
        }
        QThreadPool::globalInstance()->waitForDone();
    };
    copyImages(10);
    const qint64 before = residentBytes();
    copyImages(100);
    // Generous: kept payloads grew it by 170 MB.
    EXPECT_LT(residentBytes() - before, 40 * 1024 * 1024) << (residentBytes() - before) / 1024 << " kB more";
}

// A pause in a drag is no end of it: while the button is held, however long,
// the selection is not taken.
TEST_F(X11CaptureTest, ASelectionIsTakenOnlyOnceThePointerButtonIsReleased)
{
    defaults.setValue(keys::saveAutomaticCopies, true);
    HeldButton button;

    const auto owner = select(selecting(QStringLiteral("half a drag")));
    settle();
    EXPECT_TRUE(drafts.isEmpty());

    button.release();
    const ClipDraft *draft = nextDraft();
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->text, QStringLiteral("half a drag"));
}

} // namespace

namespace {

// A Tk app (wish) fed commands on stdin; it says "done" after each.
class TkApp
{
public:
    TkApp() : m_wish(QStringLiteral("wish"), {}) { run(QStringLiteral("wm withdraw .")); }

    bool run(const QString &command)
    {
        const QString done = QStringLiteral("done %1").arg(++m_commands);
        m_wish.write(QStringLiteral("%1; puts {%2}; flush stdout\n").arg(command, done).toUtf8());
        return m_wish.waitForLine(done, 20000);
    }
    // Tk keeps the clipboard once it has it and changes what it offers.
    bool copy(const QString &text)
    {
        return run(QStringLiteral("clipboard clear; clipboard append {%1}").arg(text));
    }

private:
    ChildProcess m_wish;
    int m_commands = 0;
};

} // namespace

TEST_F(X11CaptureTest, EachCopyOfAnAppThatKeepsTheClipboardIsCaptured)
{
    if (QStandardPaths::findExecutable(QStringLiteral("wish")).isEmpty())
        GTEST_SKIP() << "needs Tk's wish";
    TkApp tk;
    QStringList texts;
    for (const QString &text : {QStringLiteral("first Tk copy"), QStringLiteral("second Tk copy"),
                                QStringLiteral("third Tk copy")}) {
        ASSERT_TRUE(tk.copy(text));
        const ClipDraft *draft = nextDraft();
        ASSERT_TRUE(draft) << "kept only " << texts.join(", ").toStdString();
        texts.append(draft->text.value_or(QString()));
    }
    EXPECT_EQ(texts, (QStringList{QStringLiteral("first Tk copy"), QStringLiteral("second Tk copy"),
                                  QStringLiteral("third Tk copy")}));
}

// Owners that trickle their copies a byte at a time, each claim ending the
// one before, leave every later copy to be captured.
TEST_F(X11CaptureTest, CopiesAfterOwnersThatTrickleTheirsAreAllCaptured)
{
    monitor.stop();
    PatientCapture patient(x11, workspace, defaults);
    QStringList &texts = patient.texts;

    std::vector<std::unique_ptr<ChildProcess>> tricklers;
    for (int claim = 0; claim < 12; ++claim)
        tricklers.push_back(patient.copies.hostile({"incr", "1000", "1", "1500"}));
    std::vector<std::unique_ptr<ChildProcess>> later;
    QStringList copied;
    for (int copy = 1; copy <= 6; ++copy) {
        copied.append(QStringLiteral("later %1").arg(copy));
        later.push_back(patient.copies.xclip(QStringLiteral("UTF8_STRING"), copied.last().toUtf8()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return texts.size() >= copy; }, 20000)) << "kept only "
                                                                                    << texts.join(", ").toStdString();
    }
    EXPECT_EQ(texts, copied);
}

// An owner offering only a page of 256 KB of nested blocks: its text is
// kept, and every copy after it too.
TEST_F(X11CaptureTest, CopiesAfterADeeplyNestedPageAreAllCaptured)
{
    monitor.stop();
    PatientCapture patient(x11, workspace, defaults);
    QStringList &texts = patient.texts;

    const qsizetype depth = 256 * 1024 / 5;
    const auto page = patient.copies.xclip(QStringLiteral("text/html"), QByteArray("<div>").repeated(depth) + "nested"
                                                                           + QByteArray("</div>").repeated(depth));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !texts.isEmpty(); }, 20000)) << "the page's copy was never kept";
    QStringList copied{QStringLiteral("nested")};
    std::vector<std::unique_ptr<ChildProcess>> later;
    for (int copy = 1; copy <= 12; ++copy) {
        copied.append(QStringLiteral("later %1").arg(copy));
        later.push_back(patient.copies.xclip(QStringLiteral("UTF8_STRING"), copied.last().toUtf8()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return texts.size() > copy; }, 20000)) << "kept only "
                                                                                 << texts.join(", ").toStdString();
    }
    EXPECT_EQ(texts, copied);
}

// A file manager's copy of a million files (59 MB) once took a gigabyte and
// held back the copy after it.
TEST_F(X11CaptureTest, AHugeFileListKeepsItsFirstFilesAndTheNextCopyIsCaptured)
{
    x11::X11Pasteboard patient{x11}; // the budgets a user has
    ClipboardCopies patientCopies{patient};
    ClipboardMonitor patientMonitor{patient, workspace, defaults};
    QList<ClipDraft> captured;
    QObject::connect(&patientMonitor, &ClipboardMonitor::captured, [&](const ClipDraft &draft) { captured.append(draft); });
    monitor.stop();
    patientMonitor.start();

    const auto path = [](int i) { return QStringLiteral("/home/user/Pictures/IMG_%1.jpg").arg(i, 12, 10, QChar(u'0')); };
    QByteArray list;
    for (int i = 0; i < 1'000'000; ++i)
        list += "file://" + path(i).toUtf8() + "\r\n";
    auto owner = patientCopies.xclip(QStringLiteral("text/uri-list"), list);
    list = {};
    ASSERT_TRUE(QTest::qWaitFor([&] { return !captured.isEmpty(); }, 60'000));
    const ClipDraft &files = captured.first();
    EXPECT_EQ(files.kind, ClipKind::file);
    ASSERT_EQ(files.filePaths.size(), PasteboardContents::mostFiles);
    EXPECT_EQ(files.filePaths.first(), path(0));
    EXPECT_EQ(files.filePaths.last(), path(PasteboardContents::mostFiles - 1));
    EXPECT_TRUE(files.title) << "says it was cut";

    owner = patientCopies.xclip(QStringLiteral("UTF8_STRING"), "copied next");
    ASSERT_TRUE(QTest::qWaitFor([&] { return captured.size() == 2; }, 20'000));
    EXPECT_EQ(captured.last().text, QStringLiteral("copied next"));
}
