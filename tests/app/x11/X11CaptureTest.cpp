#include "app/ClipboardMonitor.h"
#include "support/TestImages.h"
#include "model/DefaultSettings.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/x11/ClipboardCopies.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Workspace.h"
#include "support/TempDir.h"
#include "support/WarningLog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <memory>

using namespace tamo;
using namespace tamo::testing;

namespace {

QByteArray pngBytes(QSize size)
{
    return tamo::testing::encodedImage(size, Qt::darkGreen);
}

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
    EXPECT_EQ(drafts.size(), 6);
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

} // namespace
