// One name for an app wherever TamoCove names one (the source of a copy, the
// ignore list, the layout rules, the window switcher), from real desktop
// entries in the desktop's own folders and real windows.
#include "app/ClipboardMonitor.h"
#include "model/DefaultSettings.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/DesktopEntries.h"
#include "platform/x11/ChildProcess.h"
#include "platform/x11/WindowManager.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowServer.h"
#include "platform/x11/X11Workspace.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

// XDG_DATA_HOME and XDG_DATA_DIRS in a scratch folder while it lives.
class ScratchDataDirs
{
public:
    ScratchDataDirs()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("system/applications"));
        qputenv("XDG_DATA_HOME", m_dir.file(QStringLiteral("home")).toUtf8());
        qputenv("XDG_DATA_DIRS", m_dir.file(QStringLiteral("system")).toUtf8());
    }
    ~ScratchDataDirs()
    {
        qputenv("XDG_DATA_HOME", m_home);
        qputenv("XDG_DATA_DIRS", m_dirs);
    }

    void install(const QString &id, const QByteArray &lines) const
    {
        writeFile(m_dir.file(QStringLiteral("system/applications/") + id + QStringLiteral(".desktop")),
                  "[Desktop Entry]\nType=Application\n" + lines);
    }

private:
    const QByteArray m_home = qgetenv("XDG_DATA_HOME");
    const QByteArray m_dirs = qgetenv("XDG_DATA_DIRS");
    TempDir m_dir;
};

// The desktop's view of apps, built on the scratch folders.
struct Desktop
{
    explicit Desktop(const x11::X11Connection &x11) : x11(x11) {}

    const x11::X11Connection &x11;
    ScratchDataDirs dataDirs;
    DesktopEntries apps;
    x11::X11ActiveWindow activeWindow{x11};
    x11::X11Workspace workspace{x11, activeWindow, apps};
    x11::X11Screens screens{x11};
    x11::X11WindowServer server{x11, activeWindow, screens, apps};

    AppInfo switcherName(qint64 pid) const
    {
        for (const RunningApp &app : server.runningApps()) {
            if (app.pid == pid)
                return app.info;
        }
        return {};
    }
};

class X11AppIdentityTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(x11.isValid()) << "this suite needs an X server"; }

    WindowManager windowManager;
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
};

// Tk sets no _NET_WM_PID: its process is found through X-Resource, for the
// front app as for the switcher, so a rule made for what the switcher shows
// applies when the window comes to the front.
TEST_F(X11AppIdentityTest, AWindowWithoutItsProcessIdIsOneAppEverywhere)
{
    const QByteArray wish = QFileInfo(QStringLiteral("/usr/bin/wish")).canonicalFilePath().toUtf8();
    struct Row
    {
        const char *description;
        QString id;
        QByteArray entry;
        AppInfo expected;
    };
    const Row rows[] = {
        {"only a NoDisplay entry runs its program", QFileInfo(QString::fromUtf8(wish)).fileName(),
         "Name=Interpreter\nExec=" + wish + "\nNoDisplay=true\n", {"Notes", "Notes"}},
        {"an entry names its window class", "tamo-notes", "Name=Notes App\nExec=notes\nStartupWMClass=Notes\n",
         {"tamo-notes", "Notes App"}},
        {"an entry runs its program", "tamo-shell", "Name=Windowing Shell\nExec=" + wish + "\n",
         {"tamo-shell", "Windowing Shell"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.description);
        Desktop desktop(x11);
        desktop.dataDirs.install(row.id, row.entry);
        ChildProcess notes(QStringLiteral("wish"), {QStringLiteral("-name"), QStringLiteral("notes")});
        notes.write("wm title . Notes; puts ready; flush stdout\n");
        ASSERT_TRUE(notes.waitForLine(QStringLiteral("ready")));
        // Managed and in front: the manager lists it, and it is the active
        // window all the while the names are taken, though windows of tests
        // running beside this one come to the front too. The server hands
        // out a closed window's id again, so a stale active window may name
        // a Tk window the manager has not yet taken: only a managed one counts.
        AppInfo front;
        AppInfo source;
        const x11::X11Properties properties(x11.xcb);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const auto inFront = [&] {
                return desktop.workspace.frontmostProcessID() == notes.pid()
                       && !properties.numbers(desktop.activeWindow.userWindow(), "WM_STATE").isEmpty();
            };
            if (!desktop.switcherName(notes.pid()).isValid() || !inFront())
                return false;
            front = desktop.workspace.frontmostApp();
            source = desktop.workspace.appForProcess(notes.pid());
            return inFront();
        }, 30000)) << "the Tk window did not stay in front";

        EXPECT_EQ(front, row.expected) << "front app";
        EXPECT_EQ(desktop.switcherName(notes.pid()), row.expected) << "window switcher";
        EXPECT_EQ(source, row.expected) << "source of a copy";
    }
}

// The test peer's program has two entries, the app and its settings dialog,
// whose id sorts first. Its copies are the app's, and ignoring either entry
// keeps them out.
TEST_F(X11AppIdentityTest, CopiesOfAProgramWithTwoEntriesAreTheAppsAndIgnoredUnderEither)
{
    const QByteArray peer = QFileInfo(QStringLiteral(TAMO_X11_TEST_PEER)).fileName().toUtf8();
    struct Row
    {
        const char *description;
        QStringList ignored;
        QString credit; // empty: not captured
    };
    const Row rows[] = {
        {"nothing ignored", {}, QStringLiteral("Peer")},
        {"the app ignored", {QStringLiteral("tamo-peer")}, QString()},
        {"its settings dialog ignored", {QStringLiteral("tamo-peer-settings")}, QString()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.description);
        Desktop desktop(x11);
        desktop.dataDirs.install(QStringLiteral("tamo-peer"), "Name=Peer\nExec=/opt/" + peer + " %U\n");
        desktop.dataDirs.install(QStringLiteral("tamo-peer-settings"),
                                 "Name=Peer Settings\nExec=/opt/" + peer + " --preferences\nCategories=Settings;\n");
        // xclip is an app of its own here: a copy no app made is the front
        // app's, and tests running beside this one put their peers in front.
        desktop.dataDirs.install(QStringLiteral("tamo-marker"), "Name=Marker\nExec=xclip\n");
        TempDir dir;
        Defaults defaults(dir.file(QStringLiteral("defaults.json")));
        registerDefaultSettings(defaults);
        defaults.setValue(keys::ignoredApps, row.ignored);
        x11::X11Pasteboard pasteboard(x11);
        ClipboardMonitor monitor(pasteboard, desktop.workspace, defaults);
        QHash<QString, QString> credits; // text → app name
        QObject::connect(&monitor, &ClipboardMonitor::captured, [&](const ClipDraft &draft) {
            credits.insert(draft.text.value_or(QString()), draft.sourceAppName.value_or(QString()));
        });
        monitor.start();

        const int before = pasteboard.changeCount();
        ChildProcess copier(QStringLiteral(TAMO_X11_TEST_PEER),
                            {QStringLiteral("copy"), QStringLiteral("text/plain"), QStringLiteral("salary 91,500")});
        ASSERT_TRUE(copier.waitForLine(QStringLiteral("owned")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return pasteboard.changeCount() > before; }, 30000));
        // A copy read after the next owner took over is gone on X11: let the peer's be read first.
        if (!row.credit.isEmpty()) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return credits.contains(QStringLiteral("salary 91,500")); }, 30000))
                << "captured: " << QStringList(credits.keys()).join(u'|').toStdString() << ", changes seen: "
                << pasteboard.changeCount() - before;
        }
        // Copies are handled in order: once this one is in, the peer's was decided.
        // xclip stays in the background with the clipboard: never on our output, or ctest waits for it.
        QProcess xclip;
        xclip.setStandardOutputFile(QProcess::nullDevice());
        xclip.setStandardErrorFile(QProcess::nullDevice());
        xclip.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("printf marker | xclip -selection clipboard")});
        ASSERT_TRUE(xclip.waitForFinished());
        ASSERT_TRUE(QTest::qWaitFor([&] { return credits.contains(QStringLiteral("marker")); }, 30000));

        EXPECT_EQ(credits.value(QStringLiteral("salary 91,500")), row.credit);
        EXPECT_EQ(credits.contains(QStringLiteral("salary 91,500")), !row.credit.isEmpty());
    }
}

} // namespace
