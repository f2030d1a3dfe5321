#include "platform/DesktopEntries.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using tamo::AppInfo;
using tamo::AppTraits;
using tamo::DesktopEntries;
using tamo::DesktopEntry;

namespace {

// Two applications folders: the user's, then the system's.
class DesktopEntriesTest : public ::testing::Test
{
protected:
    DesktopEntriesTest()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("user"));
        QDir(m_dir.path()).mkpath(QStringLiteral("system/kde"));
        write("system/debian-xterm.desktop", "[Desktop Entry]\nType=Application\nName=XTerm\nExec=xterm\n");
        write("user/debian-xterm.desktop", "[Desktop Entry]\nType=Application\nName=My XTerm\nExec=xterm\n");
        write("system/org.gnome.TextEditor.desktop",
              "[Desktop Entry]\nName=Text Editor\nType=Application\nExec=gnome-text-editor %U\n"
              "StartupWMClass=gnome-text-editor\n\n[Desktop Action new-window]\nName=New Window\n"
              "Exec=gnome-text-editor --new-window\n");
        write("system/firefox-esr.desktop",
              "# comment\n[Desktop Entry]\nType=Application\nName=Firefox ESR\nName[de]=Firefox ESR (de)\n"
              "Exec=/usr/lib/firefox-esr/firefox-esr %u\n");
        write("system/myapp.desktop",
              "[Desktop Entry]\nType=Application\nName=My\\sApp\n"
              "Exec=env GDK_BACKEND=x11 \"/opt/My App/myapp\" --flag\n");
        write("system/kde/konsole.desktop", "[Desktop Entry]\nType=Application\nName=Konsole\nExec=konsole\n");
        write("system/removed.desktop", "[Desktop Entry]\nType=Application\nName=Removed\nExec=removed\n");
        write("user/removed.desktop", "[Desktop Entry]\nHidden=true\n");
        write("system/website.desktop", "[Desktop Entry]\nType=Link\nName=Website\nURL=https://example.com\n");
        write("system/editor.desktop", "[Desktop Entry]\nType=Application\nName=Other\nExec=other\n");
        write("system/zed.desktop", "[Desktop Entry]\nType=Application\nName=Zed\nExec=zed\nStartupWMClass=editor\n");
    }

    void write(const char *relativePath, const QByteArray &content)
    {
        QFile file(m_dir.file(QString::fromLatin1(relativePath)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QStringList folders() const { return {m_dir.file(QStringLiteral("user")), m_dir.file(QStringLiteral("system"))}; }

    tamo::testing::TempDir m_dir;
};

} // namespace

TEST_F(DesktopEntriesTest, MatchesRunningAppsInTheDocumentedOrder)
{
    struct Row
    {
        const char *description;
        AppTraits traits;
        QString expectedId; // empty: no match
    };
    const Row rows[] = {
        {"toolkit hint", {"org.gnome.TextEditor.desktop", "", "", ""}, "org.gnome.TextEditor"},
        {"StartupWMClass", {"", "gnome-text-editor", "Gnome-text-editor", ""}, "org.gnome.TextEditor"},
        {"StartupWMClass before an id of the same name", {"", "", "editor", ""}, "zed"},
        {"desktop id, ignoring case", {"", "Navigator", "Firefox-esr", ""}, "firefox-esr"},
        {"Exec program", {"", "xterm", "XTerm", "xterm"}, "debian-xterm"},
        {"Exec behind env and quotes", {"", "", "", "myapp"}, "myapp"},
        {"id from a subfolder", {"", "", "kde-konsole", ""}, "kde-konsole"},
        {"hidden by the user", {"", "", "", "removed"}, ""},
        {"unknown hint falls through", {"gone.desktop", "", "konsole", ""}, ""},
        {"nothing known", {}, ""},
    };
    const DesktopEntries entries(folders());
    for (const Row &row : rows) {
        SCOPED_TRACE(row.description);
        const auto entry = entries.match(row.traits);
        EXPECT_EQ(entry ? entry->id : QString(), row.expectedId);
    }
}

TEST_F(DesktopEntriesTest, EarlierFoldersHideLaterEntriesOfTheSameId)
{
    const DesktopEntries entries(folders());
    EXPECT_EQ(entries.entry(QStringLiteral("debian-xterm"))->name, QStringLiteral("My XTerm"));
    EXPECT_FALSE(entries.entry(QStringLiteral("removed")));
    EXPECT_FALSE(entries.entry(QStringLiteral("website")));
}

TEST_F(DesktopEntriesTest, IdentifiesAppsWithOrWithoutAnEntry)
{
    const DesktopEntries entries(folders());
    EXPECT_EQ(entries.identify({"", "", "", "myapp"}), (AppInfo{"myapp", "My App"}));
    EXPECT_EQ(entries.identify({"", "sometool", "SomeTool", "sometool-bin"}), (AppInfo{"SomeTool", "SomeTool"}));
    EXPECT_EQ(entries.identify({"", "", "", "sometool-bin"}), (AppInfo{"sometool-bin", "sometool-bin"}));
    EXPECT_FALSE(entries.identify({}).isValid());
}

TEST_F(DesktopEntriesTest, NameFollowsTheLocale)
{
    const QString path = m_dir.file(QStringLiteral("system/firefox-esr.desktop"));
    EXPECT_EQ(DesktopEntry::fromFile(path, "firefox-esr", QLocale(QLocale::German, QLocale::Austria))->name,
              QStringLiteral("Firefox ESR (de)"));
    EXPECT_EQ(DesktopEntry::fromFile(path, "firefox-esr", QLocale(QLocale::French))->name,
              QStringLiteral("Firefox ESR"));
}

TEST_F(DesktopEntriesTest, IconComesFromTheEntryElseTheGenericOne)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::red);
    const QString iconPath = m_dir.file(QStringLiteral("red.png"));
    ASSERT_TRUE(image.save(iconPath));
    write("system/painter.desktop",
          "[Desktop Entry]\nType=Application\nName=Painter\nExec=painter\nIcon=" + iconPath.toUtf8() + "\n");
    write("system/themeless.desktop",
          "[Desktop Entry]\nType=Application\nName=T\nExec=t\nIcon=no-such-icon-anywhere\n");
    const DesktopEntries entries(folders());

    const QImage painter = entries.icon(QStringLiteral("painter")).pixmap(32).toImage();
    EXPECT_EQ(painter.pixelColor(16, 16), QColor(Qt::red));

    const QImage generic = entries.icon(QStringLiteral("not-installed")).pixmap(32).toImage();
    EXPECT_FALSE(generic.isNull());
    EXPECT_EQ(entries.icon(QStringLiteral("themeless")).pixmap(32).toImage(), generic);
    EXPECT_EQ(entries.icon(QStringLiteral("debian-xterm")).pixmap(32).toImage(), generic); // no Icon= at all
}

TEST_F(DesktopEntriesTest, SeesAppsInstalledAfterTheFirstLookUp)
{
    const DesktopEntries entries(folders());
    ASSERT_FALSE(entries.entry(QStringLiteral("newcomer")));
    write("system/newcomer.desktop", "[Desktop Entry]\nType=Application\nName=Newcomer\nExec=newcomer\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return entries.entry(QStringLiteral("newcomer")).has_value(); }, 5000));
}

// Caches of names and icons are told, so a new entry's icon shows at once.
TEST_F(DesktopEntriesTest, TellsOfAnEntryAddedOrRemoved)
{
    const DesktopEntries entries(folders());
    QSignalSpy changed(&entries, &DesktopEntries::changed);
    write("user/newcomer.desktop", "[Desktop Entry]\nType=Application\nName=Newcomer\nExec=newcomer\n");
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_TRUE(entries.entry(QStringLiteral("newcomer")));
    changed.clear();
    QFile::remove(m_dir.file(QStringLiteral("user/newcomer.desktop")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changed.isEmpty(); }, 5000));
    EXPECT_FALSE(entries.entry(QStringLiteral("newcomer")));
}

// An app installed into a folder made after start, or into a subfolder,
// was once misnamed until a restart.
TEST_F(DesktopEntriesTest, SeesAppsInstalledIntoFoldersAndSubfoldersMadeLater)
{
    const struct
    {
        const char *name;
        const char *folder; // made when missing
        const char *file;
        QString id;
    } cases[] = {
        {"a subfolder there from the start", "system/kde", "system/kde/later.desktop", QStringLiteral("kde-later")},
        {"a subfolder made later", "system/games/arcade", "system/games/arcade/later.desktop",
         QStringLiteral("games-arcade-later")},
        {"an applications folder made later", "late/share/applications", "late/share/applications/later.desktop",
         QStringLiteral("later")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const DesktopEntries entries(folders() << m_dir.file(QStringLiteral("late/share/applications")));
        ASSERT_FALSE(entries.entry(c.id));
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QString::fromLatin1(c.folder)));
        write(c.file, "[Desktop Entry]\nType=Application\nName=Later\nExec=later\n");
        EXPECT_TRUE(QTest::qWaitFor([&] { return entries.entry(c.id).has_value(); }, 20000));
        QFile::remove(m_dir.file(QString::fromLatin1(c.file)));
    }
}

namespace {

// The desktop's own folders: XDG_DATA_HOME and XDG_DATA_DIRS point into a
// scratch folder for the life of the test.
class InstalledAppsTest : public ::testing::Test
{
protected:
    InstalledAppsTest()
    {
        qputenv("XDG_DATA_HOME", m_dir.file(QStringLiteral("home")).toUtf8());
        qputenv("XDG_DATA_DIRS", m_dir.file(QStringLiteral("system")).toUtf8());
        QDir(m_dir.path()).mkpath(QStringLiteral("system/applications"));
    }
    ~InstalledAppsTest() override
    {
        qputenv("XDG_DATA_HOME", m_home);
        qputenv("XDG_DATA_DIRS", m_dirs);
    }

    void install(const QString &id, const QByteArray &lines)
    {
        QFile file(m_dir.file(QStringLiteral("system/applications/") + id + QStringLiteral(".desktop")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\n" + lines);
    }

    const QByteArray m_home = qgetenv("XDG_DATA_HOME");
    const QByteArray m_dirs = qgetenv("XDG_DATA_DIRS");
    tamo::testing::TempDir m_dir;
};

} // namespace

// Mousepad installs its editor and its settings dialog as two entries of one
// program; the settings' id sorts first.
TEST_F(InstalledAppsTest, AProgramIsTheEntryALauncherStartsAndAllItsEntriesAreOneApp)
{
    install("org.example.pad", "Name=Pad\nExec=pad %U\n");
    install("org.example.pad-settings", "Name=Pad Settings\nExec=pad --preferences\nCategories=GTK;Settings;\n");
    install("org.example.sheet-new", "Name=New Sheet\nExec=sheet --new %U\n");
    install("org.example.sheet", "Name=Sheet\nExec=sheet %U\n");
    install("org.example.Tool", "Name=Tool\nExec=flatpak run --branch=stable org.example.Tool %U\n");
    install("org.example.Viewer", "Name=Viewer\nExec=flatpak run org.example.Viewer\n");
    install("interpreter", "Name=Interpreter\nExec=/usr/bin/interpreter\nNoDisplay=true\n");
    const DesktopEntries entries;

    struct Row
    {
        const char *description;
        AppTraits traits;
        AppInfo expected;
    };
    const Row rows[] = {
        {"the app before its settings dialog", {"", "", "", "pad"}, {"org.example.pad", "Pad"}},
        {"the app before one of its modes", {"", "", "", "sheet"}, {"org.example.sheet", "Sheet"}},
        {"a NoDisplay entry is no app: the window class", {"", "notes", "Notes", "interpreter"}, {"Notes", "Notes"}},
        {"a NoDisplay entry is no app: the program", {"", "", "", "interpreter"}, {"interpreter", "interpreter"}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(entries.identify(row.traits), row.expected) << row.description;

    EXPECT_EQ(entries.sameApp("org.example.pad"), QStringList({"org.example.pad", "org.example.pad-settings"}));
    EXPECT_EQ(entries.sameApp("org.example.pad-settings"), QStringList({"org.example.pad-settings", "org.example.pad"}));
    EXPECT_EQ(entries.sameApp("org.example.Tool"), QStringList{"org.example.Tool"}) << "Flatpaks differ by what they run";
    EXPECT_EQ(entries.sameApp("Notes"), QStringList{"Notes"}) << "an app known by its window alone";
}
