#include "platform/DesktopEntries.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QImage>
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
