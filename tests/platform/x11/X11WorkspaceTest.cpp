#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Workspace.h"
#include "OtherAppWindows.h"
#include "support/TempDir.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace tamo;
using tamo::testing::OtherAppWindows;

namespace {

// Receives what the workspace hands to the desktop's URL openers.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

// Stands in for the file manager on the session bus.
class FileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;

public slots:
    void ShowItems(const QStringList &uris, const QString &) { shown += uris; }
};

// Windows of other apps, and the window manager's part in activating them:
// EWMH managers publish the active window on the root, which is all the
// workspace reads. Doing it here keeps the tests free of focus races.
// Counts the root's active-window changes as they reach this process; once
// counted, the workspace has seen the change too.
class ActivationCounter : public QAbstractNativeEventFilter
{
public:
    explicit ActivationCounter(quint32 activeWindowAtom) : m_atom(activeWindowAtom)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    int count = 0;

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *event = static_cast<const xcb_property_notify_event_t *>(message);
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && event->atom == m_atom)
            ++count;
        return false;
    }

private:
    quint32 m_atom;
};

class X11WorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x11.isValid()) << "this suite needs an X server";
        writeEntry("tamo-fixture-editor.desktop",
                   "[Desktop Entry]\nType=Application\nName=Fixture Editor\nExec=fixture-editor\n"
                   "StartupWMClass=tamo-fixture-editor\n");
        // This test program, known by its executable.
        writeEntry("tamo-tests.desktop", "[Desktop Entry]\nType=Application\nName=Tamo Tests\nExec=/opt/tamo/"
                                             + QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8()
                                             + " --run\n");
        apps = std::make_unique<DesktopEntries>(QStringList{applications.path()});
        workspace = std::make_unique<x11::X11Workspace>(x11, activeWindow, *apps);
    }

    void writeEntry(const char *name, const QByteArray &content)
    {
        QFile file(applications.file(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    const AppInfo fixture{QStringLiteral("tamo-fixture-editor"), QStringLiteral("Fixture Editor")};
    const qint64 ownPid = QCoreApplication::applicationPid();
    // The windows are this process's; without a process of their own, X-Resource would name it.
    const qint64 otherApp = 1 << 30;
    tamo::testing::TempDir applications;
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    OtherAppWindows windows;
    x11::X11ActiveWindow activeWindow{x11};
    std::unique_ptr<DesktopEntries> apps;
    std::unique_ptr<x11::X11Workspace> workspace;
};

} // namespace

TEST_F(X11WorkspaceTest, FrontmostAppComesFromTheActiveWindowsDesktopEntry)
{
    windows.activate(windows.create("tamo-fixture-editor", "Tamo-fixture-editor", ownPid));
    EXPECT_EQ(workspace->frontmostApp(), fixture);
    EXPECT_EQ(workspace->appForProcess(ownPid), fixture) << "the front window's process";
    EXPECT_TRUE(workspace->isInstalled(fixture.bundleID));

    windows.activate(windows.create("unlisted", "TamoUnlisted", otherApp));
    EXPECT_EQ(workspace->frontmostApp(), (AppInfo{QStringLiteral("TamoUnlisted"), QStringLiteral("TamoUnlisted")}));
}

TEST_F(X11WorkspaceTest, AnnouncesEachAppThatComesToTheFrontOnce)
{
    QSignalSpy activated(workspace.get(), &Workspace::appActivated);
    ActivationCounter changes(x11::X11Properties(x11.xcb).atom("_NET_ACTIVE_WINDOW"));
    const xcb_window_t first = windows.create("tamo-fixture-editor", "Tamo-fixture-editor", otherApp);
    const xcb_window_t secondOfTheSameApp = windows.create("tamo-fixture-editor", "Tamo-fixture-editor", otherApp);
    const xcb_window_t other = windows.create("unlisted", "TamoUnlisted", otherApp);

    for (const xcb_window_t window : {first, secondOfTheSameApp, other}) {
        const int before = changes.count;
        windows.activate(window);
        ASSERT_TRUE(QTest::qWaitFor([&] { return changes.count > before; }, 5000));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return activated.size() >= 2; }, 5000));
    QCoreApplication::processEvents();
    ASSERT_EQ(activated.size(), 2);
    EXPECT_EQ(activated[0][0].toString(), fixture.bundleID);
    EXPECT_EQ(activated[1][0].toString(), QStringLiteral("TamoUnlisted"));
}

// An app installed while TamoCove runs gets its own name and icon from the
// next card on, not the generic ones until a restart.
TEST_F(X11WorkspaceTest, AnnouncesAnAppInstalledWhileItRuns)
{
    QSignalSpy changed(workspace.get(), &Workspace::installedAppsChanged);
    EXPECT_FALSE(workspace->isInstalled(QStringLiteral("tamo-fixture-new")));
    writeEntry("tamo-fixture-new.desktop", "[Desktop Entry]\nType=Application\nName=Fixture New\nExec=fixture-new\n");
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_TRUE(workspace->isInstalled(QStringLiteral("tamo-fixture-new")));
}

TEST_F(X11WorkspaceTest, AppForProcessFallsBackToTheExecutable)
{
    EXPECT_EQ(workspace->appForProcess(QCoreApplication::applicationPid()),
              (AppInfo{QStringLiteral("tamo-tests"), QStringLiteral("Tamo Tests")}));
    EXPECT_FALSE(workspace->appForProcess(0).isValid());
    EXPECT_FALSE(workspace->appForProcess(1 << 30).isValid()) << "no such process";
}

TEST_F(X11WorkspaceTest, OpensURLsWithTheDesktopsHandler)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("tamo-test"), &recorder, "open");
    EXPECT_TRUE(workspace->openURL(QUrl(QStringLiteral("tamo-test:page"))));
    QDesktopServices::unsetUrlHandler(QStringLiteral("tamo-test"));
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl(QStringLiteral("tamo-test:page"))});
}

TEST_F(X11WorkspaceTest, RevealAsksTheFileManagerToSelectTheFile)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        GTEST_SKIP() << "no session bus (ctest runs each test on one of its own)";
    FileManager fileManager;
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fileManager,
                                   QDBusConnection::ExportAllSlots));
    if (!bus.registerService(QStringLiteral("org.freedesktop.FileManager1")))
        GTEST_SKIP() << "a file manager already owns the service";

    workspace->revealFile(QStringLiteral("/tmp/some folder/clip.png"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fileManager.shown.isEmpty(); }, 5000));
    bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
    EXPECT_EQ(fileManager.shown, QStringList{QStringLiteral("file:///tmp/some%20folder/clip.png")});
}

TEST_F(X11WorkspaceTest, RevealOpensTheFolderWithoutAFileManager)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.FileManager1")))
        GTEST_SKIP() << "a file manager is running";
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    workspace->revealFile(QStringLiteral("/tmp/some folder/clip.png"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !recorder.opened.isEmpty(); }, 5000));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/some folder"))});
}

#include "X11WorkspaceTest.moc"
