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
    x11::X11Pasteboard pasteboard{x11, {.budget = std::chrono::milliseconds(3000)}};
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
    const struct
    {
        const char *offer;
        ClipKind kind;
        // Text: byte for byte the app's own, as this target of the offer holds it.
        const char *textOf;
        QStringList files;
        // Read, it would end the app's copy.
        const char *leftUnread;
    } rows[] = {
        {"pcmanfm-one-file", ClipKind::file, nullptr, budget, nullptr},
        {"pcmanfm-two-files", ClipKind::file, nullptr, budgetAndNotes, nullptr},
        // PCManFM clears the clipboard once a cut's GNOME list is read.
        {"pcmanfm-cut-files", ClipKind::file, nullptr, budgetAndNotes, "x-special/gnome-copied-files"},
        {"caja-cut-files", ClipKind::file, nullptr, {QStringLiteral("/home/user/Pictures/holiday 2024.jpg")}, nullptr},
        {"mousepad-lf-lines", ClipKind::text, "UTF8_STRING", {}, nullptr},
        {"gedit-crlf-lines", ClipKind::text, "UTF8_STRING", {}, nullptr},
        // Text comes before images.
        {"inkscape-svg-and-png", ClipKind::text, "text/plain", {}, nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.offer);
        const qsizetype before = drafts.size();
        const auto owner = copies.recorded(recordedOffers + u'/' + QLatin1String(row.offer));
        if (!QTest::qWaitFor([&] { return drafts.size() > before; }, 10000)) {
            ADD_FAILURE() << "no clip was kept";
            continue;
        }
        const ClipDraft &draft = drafts.last();
        EXPECT_EQ(draft.kind, row.kind);
        EXPECT_EQ(draft.filePaths, row.files);
        EXPECT_EQ(draft.title, std::nullopt) << "a cut list is no list cut short";
        if (row.textOf)
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
