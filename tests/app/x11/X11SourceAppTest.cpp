// Which app a copy is credited to, with real owners on the real clipboard:
// the owner's process, else the nearest process that started it and has a
// desktop entry, else the window the user works in, never one of ours.
#include "app/ClipboardMonitor.h"
#include "model/DefaultSettings.h"
#include "platform/Defaults.h"
#include "platform/x11/ChildProcess.h"
#include "platform/x11/WindowManager.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Workspace.h"
#include "support/TempDir.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace tamo;
using namespace tamo::testing;

namespace {

class X11SourceAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x11.isValid()) << "this suite needs an X server";
        writeFile(applications.file(QStringLiteral("tamo-fixture-editor.desktop")),
                  "[Desktop Entry]\nType=Application\nName=Fixture Editor\nExec=fixture-editor\n"
                  "StartupWMClass=tamo-fixture-editor\n");
        writeFile(applications.file(QStringLiteral("tamo-fixture-terminal.desktop")),
                  "[Desktop Entry]\nType=Application\nName=Fixture Terminal\nExec=xterm\n");
        writeFile(applications.file(QStringLiteral("tamo-fixture-peer.desktop")),
                  "[Desktop Entry]\nType=Application\nName=Fixture Peer\nExec=/opt/"
                      + QFileInfo(QStringLiteral(TAMO_X11_TEST_PEER)).fileName().toUtf8() + "\n");
        registerDefaultSettings(defaults);
        QObject::connect(&monitor, &ClipboardMonitor::captured,
                         [this](const ClipDraft &draft) { sources.append(draft.sourceAppName.value_or(QString())); });
        monitor.start();
    }

    // The app in front: the peer's editor, known by its window class.
    std::unique_ptr<ChildProcess> startFixtureEditor()
    {
        auto editor = startEditor(QStringLiteral("tamo-fixture-editor"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return workspace.frontmostApp().name == u"Fixture Editor"; }));
        return editor;
    }

    // Copies with xclip run by this test, which no desktop entry names; the
    // copy is credited once its draft arrives.
    QString creditOfXclipCopy(const QString &text)
    {
        const qsizetype before = sources.size();
        QProcess xclip;
        xclip.start(QStringLiteral("sh"), {QStringLiteral("-c"),
                                           QStringLiteral("printf %s \"$1\" | xclip -selection clipboard"),
                                           QStringLiteral("sh"), text});
        return nextCredit(before);
    }

    // Waits on the X server alone, leaving this process's events unhandled
    // as a busy main thread would.
    static bool waitHoldingEvents(const std::function<bool()> &condition)
    {
        const QDeadlineTimer deadline(10000);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(20);
        }
        return true;
    }

    QString nextCredit(qsizetype before)
    {
        if (!QTest::qWaitFor([&] { return sources.size() > before; }, 10000))
            return QStringLiteral("(no copy)");
        return sources.last();
    }

    WindowManager windowManager;
    TempDir dir;
    TempDir applications;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11Pasteboard pasteboard{x11};
    x11::X11ActiveWindow activeWindow{x11};
    DesktopEntries apps{{applications.path()}};
    x11::X11Workspace workspace{x11, activeWindow, apps};
    ClipboardMonitor monitor{pasteboard, workspace, defaults};
    QStringList sources;
};

TEST_F(X11SourceAppTest, TheOwnersOwnDesktopEntryNamesTheCopy)
{
    const auto editor = startFixtureEditor();
    const qsizetype before = sources.size();
    ChildProcess peer(QStringLiteral(TAMO_X11_TEST_PEER), {QStringLiteral("copy"), QStringLiteral("text/plain"),
                                                           QStringLiteral("from the peer")});
    EXPECT_EQ(nextCredit(before), QStringLiteral("Fixture Peer"));
}

TEST_F(X11SourceAppTest, AnOwnerWithoutEntryIsTheWindowInFronts)
{
    const auto editor = startFixtureEditor();
    EXPECT_EQ(creditOfXclipCopy(QStringLiteral("in front")), QStringLiteral("Fixture Editor"));
}

// xclip forks, and its first process exits at once: the terminal it ran in
// is found through the fork, even with another app in front.
TEST_F(X11SourceAppTest, XclipRunInATerminalIsTheTerminalsCopy)
{
    const TempDir scratch;
    const QString go = scratch.file(QStringLiteral("go"));
    ChildProcess terminal(QStringLiteral("xterm"),
                          {QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                           QStringLiteral("while [ ! -e \"$0\" ]; do sleep 0.05; done; "
                                          "printf 'in the terminal' | xclip -selection clipboard; sleep 30"),
                           go});
    ASSERT_TRUE(QTest::qWaitFor([&] { return workspace.frontmostApp().name == u"Fixture Terminal"; }, 10000));
    const auto editor = startFixtureEditor();
    const qsizetype before = sources.size();
    writeFile(go, {});
    EXPECT_EQ(nextCredit(before), QStringLiteral("Fixture Terminal"));
}

// Our own panel in front (or left active after it hid) is never the source:
// the app the user was in before it is.
TEST_F(X11SourceAppTest, OurOwnWindowInFrontCreditsTheAppBeforeIt)
{
    const auto editor = startFixtureEditor();
    QWidget panel;
    panel.resize(200, 100);
    panel.show();
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow.isOwnWindow(activeWindow.activeWindow()); }));
    EXPECT_EQ(creditOfXclipCopy(QStringLiteral("while ours is active")), QStringLiteral("Fixture Editor"));
    panel.hide();
    EXPECT_EQ(creditOfXclipCopy(QStringLiteral("right after ours closed")), QStringLiteral("Fixture Editor"));
}

// The user goes from one app to the editor, and the editor's activation is
// handled only once our panel has taken over: the editor, not the app before
// it, is the one the user was in.
TEST_F(X11SourceAppTest, OurWindowShownBeforeTheSwitchIsHandledCreditsTheAppBeforeIt)
{
    // The desktop entries are read as their folder changes, which takes events.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return std::ranges::any_of(workspace.installedApps(),
                                   [](const AppInfo &app) { return app.name == u"Fixture Editor"; });
    }));
    const auto appBefore = startEditor();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("RESOURCE_NAME"), QStringLiteral("tamo-fixture-editor"));
    ChildProcess editor(QStringLiteral(TAMO_X11_TEST_PEER), {QStringLiteral("editor")}, environment);
    ASSERT_TRUE(waitHoldingEvents([&] { return workspace.frontmostApp().name == u"Fixture Editor"; }));
    QWidget panel;
    panel.resize(200, 100);
    panel.show();
    const quint32 activeAtom = x11::X11Properties(x11.xcb).atom("_NET_ACTIVE_WINDOW");
    ASSERT_TRUE(waitHoldingEvents([&] {
        // As a pager asks, now, so no focus-stealing rule holds it back.
        x11::sendToWindowManager(x11, activeAtom, quint32(panel.winId()), {2, 0, 0});
        return activeWindow.activeWindow() == panel.winId();
    }));
    EXPECT_EQ(creditOfXclipCopy(QStringLiteral("while ours took over")), QStringLiteral("Fixture Editor"));
}

} // namespace
