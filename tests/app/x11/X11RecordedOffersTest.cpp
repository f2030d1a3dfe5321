// Copies as real apps offer them: each offer folder (tests/platform/x11/
// offers/, written as X11OfferOwner.cpp says) served by an owner giving
// exactly its targets and bytes, read through the real X11 path into the
// draft it becomes.
#include "app/ClipboardMonitor.h"
#include "model/DefaultSettings.h"
#include "platform/Defaults.h"
#include "platform/x11/ClipboardCopies.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Workspace.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

const QString recordedOffers = QStringLiteral(TAMO_RECORDED_OFFERS);

QByteArray recordedBytes(const QString &offer, const QString &target)
{
    QString name = target;
    name.replace(QStringLiteral("%"), QStringLiteral("%25")).replace(QStringLiteral("/"), QStringLiteral("%2F"));
    QFile file(recordedOffers + u'/' + offer + u'/' + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    return file.readAll();
}

class X11RecordedOffersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x11.isValid()) << "this suite needs an X server";
        writeFile(applications.file(QStringLiteral("tamo-recorded-app.desktop")),
                  "[Desktop Entry]\nType=Application\nName=Recorded App\nExec=/opt/"
                      + QFileInfo(QStringLiteral(TAMO_X11_OFFER_OWNER)).fileName().toUtf8() + "\n");
        registerDefaultSettings(defaults);
        QObject::connect(&monitor, &ClipboardMonitor::captured, [this](const ClipDraft &draft) { drafts.append(draft); });
        monitor.start();
    }

    TempDir dir;
    TempDir applications;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    // Short silences, so that an owner slow to answer is asked again soon.
    x11::X11Pasteboard pasteboard{x11, {.budget = std::chrono::milliseconds(6000),
                                        .silence = std::chrono::milliseconds(1000)}};
    ClipboardCopies copies{pasteboard};
    x11::X11ActiveWindow activeWindow{x11};
    DesktopEntries apps{{applications.path()}};
    x11::X11Workspace workspace{x11, activeWindow, apps};
    ClipboardMonitor monitor{pasteboard, workspace, defaults};
    QList<ClipDraft> drafts;
};

TEST_F(X11RecordedOffersTest, EachAppsOfferBecomesTheClipItsAppHolds)
{
    const QStringList budget{QStringLiteral("/home/user/Documents/budget_2024.txt")};
    const QStringList budgetAndNotes{budget.first(), QStringLiteral("/home/user/Documents/notes Q3.md")};
    // The files app-check copied; a clip names them whether or not they are there.
    const auto checkedFiles = [](const char *offer) {
        const QString folder = QStringLiteral("/tmp/app-check-docs/") + QLatin1String(offer);
        return QStringList{folder + QStringLiteral("/budget_2024.txt"), folder + QStringLiteral("/notes.md")};
    };
    const QString utf8 = QStringLiteral("UTF8_STRING");
    const struct
    {
        const char *offer;
        ClipKind kind;
        // Text: byte for byte the app's own, as this target of the offer holds it.
        QString textOf;
        QStringList files;
        // Read, it would end the app's copy.
        const char *leftUnread = nullptr;
        // How the owner differs from the app's recorded answers (X11OfferOwner's options).
        QStringList owner = {};
    } rows[] = {
        {"pcmanfm-one-file", ClipKind::file, {}, budget},
        {"pcmanfm-two-files", ClipKind::file, {}, budgetAndNotes},
        // PCManFM clears the clipboard once a cut's GNOME list is read.
        {"pcmanfm-cut-files", ClipKind::file, {}, budgetAndNotes, "x-special/gnome-copied-files"},
        {"caja-cut-files", ClipKind::file, {}, {QStringLiteral("/home/user/Pictures/holiday 2024.jpg")}},
        {"mousepad-lf-lines", ClipKind::text, utf8, {}},
        {"gedit-crlf-lines", ClipKind::text, utf8, {}},
        // Text comes before images.
        {"inkscape-svg-and-png", ClipKind::text, QStringLiteral("text/plain"), {}},
        {"inkscape-object", ClipKind::text, QStringLiteral("text/plain"), {}},
        {"pcmanfm-files", ClipKind::file, {}, checkedFiles("pcmanfm-files")},
        {"thunar-files", ClipKind::file, {}, checkedFiles("thunar-files")},
        {"caja-files", ClipKind::file, {}, checkedFiles("caja-files")},
        {"nemo-files", ClipKind::file, {}, checkedFiles("nemo-files")},
        {"nautilus-files", ClipKind::file, {}, checkedFiles("nautilus-files")},
        {"dolphin-files", ClipKind::file, {}, checkedFiles("dolphin-files")},
        {"mousepad-text", ClipKind::text, utf8, {}},
        {"mousepad-into-tk", ClipKind::text, utf8, {}},
        {"mousepad-into-xterm", ClipKind::text, utf8, {}},
        {"gedit-text", ClipKind::text, utf8, {}},
        {"featherpad-text", ClipKind::text, utf8, {}},
        {"kate-text", ClipKind::text, utf8, {}},
        {"tk-text", ClipKind::text, utf8, {}},
        {"tk-crlf", ClipKind::text, utf8, {}},
        {"emacs-text", ClipKind::text, utf8, {}},
        {"gvim-text", ClipKind::text, utf8, {}},
        // gvim refuses what is asked while it claims the clipboard, then
        // gives its text as STRING, with \uXXXX for what Latin-1 lacks.
        {"gvim-text", ClipKind::text, utf8, {}, nullptr, {QStringLiteral("refuses-first"), utf8}},
        {"gvim-text", ClipKind::text, utf8, {}, nullptr,
         {QStringLiteral("refuses-first"), utf8, QStringLiteral("refuses-first"), QStringLiteral("STRING")}},
        {"swing-text", ClipKind::text, utf8, {}},
        {"xterm-text", ClipKind::text, utf8, {}},
        {"xfce4-terminal-text", ClipKind::text, utf8, {}},
        {"gnome-terminal-text", ClipKind::text, utf8, {}},
        {"konsole-text", ClipKind::text, utf8, {}},
        {"firefox-text", ClipKind::text, utf8, {}},
        {"firefox-link", ClipKind::link, utf8, {}},
        // Its text/ico is an icon, not text.
        {"firefox-image", ClipKind::image, {}, {}},
        {"chromium-text", ClipKind::text, utf8, {}},
        {"chromium-link", ClipKind::link, utf8, {}},
        {"chromium-image", ClipKind::image, {}, {}},
        {"writer-text", ClipKind::text, utf8, {}},
        // LibreOffice just started answers its first requests seconds late.
        {"writer-text", ClipKind::text, utf8, {}, nullptr, {QStringLiteral("first-answer-after"), QStringLiteral("1500")}},
        {"calc-cells", ClipKind::text, utf8, {}},
        {"gimp-image", ClipKind::image, {}, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(QLatin1String(row.offer), row.owner.join(u' ')).toStdString());
        const qsizetype before = drafts.size();
        const auto owner = copies.recorded(recordedOffers + u'/' + QLatin1String(row.offer), row.owner);
        if (!QTest::qWaitFor([&] { return drafts.size() > before; }, 10000)) {
            ADD_FAILURE() << "no clip was kept";
            continue;
        }
        const ClipDraft &draft = drafts.last();
        EXPECT_EQ(draft.kind, row.kind);
        EXPECT_EQ(draft.filePaths, row.files);
        EXPECT_EQ(draft.title, std::nullopt) << "a cut list is no list cut short";
        if (!row.textOf.isEmpty())
            EXPECT_EQ(draft.text.value_or(QString()).toUtf8(), recordedBytes(row.offer, row.textOf));
        EXPECT_EQ(draft.sourceAppName, QStringLiteral("Recorded App"));
        if (row.leftUnread) {
            // Asked after the capture's reads, the list's line comes after theirs.
            const auto listsSent = [&] { return owner->lines().count(QStringLiteral("sent TARGETS")); };
            const qsizetype sentBefore = listsSent();
            readClipboardWithXclip(QStringLiteral("TARGETS"));
            ASSERT_TRUE(QTest::qWaitFor([&] { return listsSent() > sentBefore; }));
            EXPECT_FALSE(owner->lines().contains(QStringLiteral("sent ") + row.leftUnread));
        }
    }
}

} // namespace
