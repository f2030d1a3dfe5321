#include "StripFixture.h"
#include "support/SampleClips.h"

#include "support/ShownText.h"

#include "drawer/ClipCardMenu.h"
#include "drawer/FilterMenu.h"
#include "model/Pinboards.h"
#include "platform/Pasteboard.h"

#include <QMenu>

#include <gtest/gtest.h>

namespace tamo::testing {
namespace {

const QString divider = QStringLiteral("—");

QStringList titles(const QList<ClipCardMenu::Row> &rows)
{
    QStringList titles;
    for (const ClipCardMenu::Row &row : rows)
        titles.append(row.action ? row.title : divider);
    return titles;
}

ClipItemPtr pinned(ClipItemPtr clip, const Pinboard &pinboard)
{
    clip->setPin(pinboard.id(), QDateTime::currentDateTime());
    return clip;
}

ClipItemPtr ofKind(ClipKind kind, const QString &text)
{
    ClipDraft draft;
    draft.kind = kind;
    draft.text = text;
    return sampleClip(draft);
}

const ClipCardMenu::Row &pinSubmenu(const QList<ClipCardMenu::Row> &rows)
{
    const auto pin = std::find_if(rows.cbegin(), rows.cend(), [](const ClipCardMenu::Row &row) {
        return row.action == ClipCardMenu::Action::pinTo;
    });
    EXPECT_NE(pin, rows.cend());
    return *pin;
}

const auto work = std::make_shared<Pinboard>(QStringLiteral("Work"), 0, 0);
const auto home = std::make_shared<Pinboard>(QStringLiteral("Home"), 8, 1);

TEST(ClipCardMenuRows, DependOnTheClipsAndWhereTheCardIs)
{
    const QImage picture = landscape(40, 30);
    struct Case
    {
        const char *name;
        QList<ClipItemPtr> clips;
        bool inPinboard;
        QStringList rows;
    };
    const QList<Case> cases{
        {"one link in the history",
         {textClip(QStringLiteral("https://example.com/a"))},
         false,
         {"Open in Browser", divider, "Paste", "Paste as Plain Text", "Copy", "Rename…", "Preview", divider, "Pin to",
          divider, "Delete"}},
        {"one text",
         {textClip(QStringLiteral("hello"))},
         false,
         {"Paste", "Paste as Plain Text", "Copy", "Rename…", "Preview", divider, "Pin to", divider, "Delete"}},
        {"one image", {imageClip(picture)}, false, {"Paste", "Copy", "Rename…", "Preview", divider, "Pin to", divider, "Delete"}},
        {"one file",
         {fileClip({QStringLiteral("/tmp/a.txt")})},
         false,
         {"Paste", "Copy", "Rename…", "Preview", divider, "Pin to", divider, "Delete"}},
        {"a text and an image",
         {textClip(QStringLiteral("hello")), imageClip(picture)},
         false,
         {"Paste 2 Clips", "Copy 2 Clips", divider, "Pin 2 Clips to", divider, "Delete 2 Clips"}},
        {"one pinned text in the history",
         {pinned(textClip(QStringLiteral("hello")), *work)},
         false,
         {"Paste", "Paste as Plain Text", "Copy", "Rename…", "Change Icon…", "Preview", divider, "Pin to",
          "Remove from Pinboard", divider, "Delete"}},
        {"one pinned link in a pinboard",
         {pinned(textClip(QStringLiteral("https://example.com/a")), *work)},
         true,
         {"Open in Browser", divider, "Paste", "Paste as Plain Text", "Copy", "Rename…", "Change Icon…", "Preview",
          divider, "Pin to", "Remove from Pinboard"}},
        {"three pinned texts in a pinboard",
         {pinned(textClip("a"), *work), pinned(textClip("b"), *work), pinned(textClip("c"), *work)},
         true,
         {"Paste 3 Clips", "Paste 3 Clips as Plain Text", "Copy 3 Clips", divider, "Pin 3 Clips to",
          "Remove 3 Clips from Pinboard"}},
        {"two links, one of them pinned",
         {textClip(QStringLiteral("https://example.com/a")), pinned(textClip(QStringLiteral("https://b.org")), *home)},
         false,
         {"Paste 2 Clips", "Paste 2 Clips as Plain Text", "Copy 2 Clips", divider, "Pin 2 Clips to",
          "Remove 2 Clips from Pinboard", divider, "Delete 2 Clips"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(titles(ClipCardMenu(c.clips, {work, home}, c.inPinboard).rows()), c.rows);
    }
}

TEST(ClipCardMenuRows, OpenInBrowserNeedsALinkWithAnAddressThatHasAScheme)
{
    struct Case
    {
        ClipItemPtr clip;
        std::optional<QUrl> url;
    };
    const QList<Case> cases{
        {textClip(QStringLiteral("https://example.com/a?b=1")), QUrl(QStringLiteral("https://example.com/a?b=1"))},
        {textClip(QStringLiteral("  https://example.com/a\n")), QUrl(QStringLiteral("https://example.com/a"))},
        {ofKind(ClipKind::link, QStringLiteral("example.com/a")), std::nullopt},
        {ofKind(ClipKind::link, QStringLiteral("http://exa mple.com")), std::nullopt},
        {ofKind(ClipKind::text, QStringLiteral("https://example.com")), std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.clip->text()->toStdString());
        EXPECT_EQ(ClipCardMenu::browserURL(*c.clip), c.url);
    }
    ClipDraft noText;
    noText.kind = ClipKind::link;
    EXPECT_EQ(ClipCardMenu::browserURL(*sampleClip(noText)), std::nullopt);
}

TEST(ClipCardMenuRows, PinSubmenuGreysOnlyThePinboardHoldingEveryClip)
{
    const ClipCardMenu::Row both = pinSubmenu(
        ClipCardMenu({pinned(textClip("a"), *work), pinned(textClip("b"), *work)}, {work, home}, true).rows());
    EXPECT_EQ(titles(both.submenu), QStringList({"Work", "Home", divider, "New Pinboard"}));
    EXPECT_FALSE(both.submenu[0].enabled);
    EXPECT_TRUE(both.submenu[1].enabled);
    EXPECT_EQ(both.submenu[1].pinboard, home);

    const ClipCardMenu::Row mixed
        = pinSubmenu(ClipCardMenu({pinned(textClip("a"), *work), textClip("b")}, {work, home}, false).rows());
    EXPECT_TRUE(mixed.submenu[0].enabled);

    const ClipCardMenu::Row none = pinSubmenu(ClipCardMenu({textClip("a")}, {}, false).rows());
    EXPECT_EQ(titles(none.submenu), QStringList{"New Pinboard"});
}

// The menu over a real model: each action makes the one call it stands for.
class ClipCardMenuTest : public StripFixture
{
protected:
    static QAction *find(const QMenu &menu, const QString &title)
    {
        for (QAction *action : menu.actions()) {
            if (action->text() == title)
                return action;
            if (QMenu *submenu = action->menu())
                if (QAction *inner = find(*submenu, title))
                    return inner;
        }
        return nullptr;
    }

    static QAction *action(const QMenu &menu, const QString &title)
    {
        QAction *found = find(menu, title);
        if (!found)
            ADD_FAILURE() << "no action " << title.toStdString();
        return found;
    }

    void choose(const QList<ClipItemPtr> &clips, const QString &title, bool inPinboard = false,
                bool isInMenuBarPanel = false)
    {
        QMenu menu;
        ClipCardMenu(clips, model().pinboards().orderedPinboards(), inPinboard).fill(menu, model(), isInMenuBarPanel);
        if (QAction *chosen = action(menu, title))
            chosen->trigger();
    }

    PinboardPtr pinboardNamed(const QString &name)
    {
        PinboardPtr pinboard = model().newPinboard();
        pinboard->setName(name);
        model().commitPinboardRename(*pinboard);
        return pinboard;
    }

    ClipItemPtr stored(ClipItemPtr clip)
    {
        ModelContext &context = model().container().mainContext();
        context.insert(clip);
        EXPECT_TRUE(context.save());
        return clip;
    }

    int clipCount() { return model().container().mainContext().fetchCount<ClipItem>(); }
};

// Names the user gave are shown as typed in every menu row, "&" included.
TEST_F(ClipCardMenuTest, UserNamesShowTheirAmpersandsInMenus)
{
    const QStringList names{"Links & Docs", "R&D", "&Start", "End&", "Tom && Jerry", "Plain"};
    QList<SearchFilter::App> apps;
    for (const QString &name : names) {
        pinboardNamed(name);
        apps.append({QStringLiteral("app.") + QString::number(apps.size()), name});
    }
    QMenu menu;
    ClipCardMenu({stored(sampleClip(ClipDraft::fromText(QStringLiteral("x"))))},
                 model().pinboards().orderedPinboards(), false)
        .fill(menu, model(), false);
    QMenu *pinTo = nullptr;
    for (QAction *row : menu.actions()) {
        if (row->menu())
            pinTo = row->menu();
    }
    ASSERT_NE(pinTo, nullptr);
    EXPECT_EQ(shownRows(*pinTo).mid(0, names.size()), names);

    QMenu filters;
    fillFilterMenu(filters, {{}, apps, [](const QString &) { return QIcon(); }, [](const SearchFilter &) {}, [] {}});
    const QStringList shown = shownRows(filters);
    for (const QString &name : names)
        EXPECT_TRUE(shown.contains(name)) << name.toStdString() << " in " << shown.join('|').toStdString();
}

TEST_F(ClipCardMenuTest, PasteAndCopyActOnAllTheClips)
{
    const ClipItemPtr rich = stored(sampleClip(ClipDraft::fromText(QStringLiteral("bold"), QByteArray("{\\rtf1 b}"))));

    choose({rich}, QStringLiteral("Paste"));
    EXPECT_TRUE(pasteboard.contents()->types().contains(PasteboardType::rtf));
    choose({rich}, QStringLiteral("Paste as Plain Text"));
    EXPECT_FALSE(pasteboard.contents()->types().contains(PasteboardType::rtf));
    EXPECT_EQ(ext.log.filter(QStringLiteral("notice:")).size(), 2);

    const QList<ClipItemPtr> two = addClips(2);
    choose(two, QStringLiteral("Copy 2 Clips"));
    EXPECT_EQ(ext.log.filter(QStringLiteral("ready:")), QStringList{"ready:2 clips are ready"});
}

TEST_F(ClipCardMenuTest, SingleClipActionsOpenTheirEditorsOnThatClip)
{
    const ClipItemPtr clip = addClips(1).first();
    model().pin({clip}, *pinboardNamed(QStringLiteral("Work")));

    choose({clip}, QStringLiteral("Rename…"), false, true);
    EXPECT_EQ(model().renamingItemID(), clip->id());
    EXPECT_TRUE(model().renamingInMenuBar());
    choose({clip}, QStringLiteral("Change Icon…"));
    EXPECT_EQ(model().iconPickerItemID(), clip->id());
    choose({clip}, QStringLiteral("Preview"));
    EXPECT_EQ(model().previewItemID(), clip->id());
    EXPECT_EQ(model().previewOrder(), std::nullopt);
}

TEST_F(ClipCardMenuTest, PinUnpinAndDelete)
{
    const PinboardPtr work = pinboardNamed(QStringLiteral("Work"));
    const QList<ClipItemPtr> three = addClips(3);

    choose(three, QStringLiteral("Work"));
    for (const ClipItemPtr &clip : three)
        EXPECT_EQ(clip->pinboardID(), work->id());

    choose(three, QStringLiteral("New Pinboard"));
    const QList<PinboardPtr> pinboards = model().pinboards().orderedPinboards();
    ASSERT_EQ(pinboards.size(), 2);
    EXPECT_EQ(pinboards.last()->name(), QStringLiteral("Untitled"));
    for (const ClipItemPtr &clip : three)
        EXPECT_EQ(clip->pinboardID(), pinboards.last()->id());

    choose(three, QStringLiteral("Remove 3 Clips from Pinboard"), true);
    for (const ClipItemPtr &clip : three)
        EXPECT_EQ(clip->pinboardID(), std::nullopt);

    choose(three.mid(0, 2), QStringLiteral("Delete 2 Clips"));
    EXPECT_EQ(clipCount(), 1);
}

TEST_F(ClipCardMenuTest, OpenInBrowserHidesTheDrawerAtOnceAndOpensTheAddress)
{
    const ClipItemPtr link = stored(textClip(QStringLiteral("https://example.com/page?n=1")));
    ext.drawerVisible = true;
    ext.log.clear();

    choose({link}, QStringLiteral("Open in Browser"));
    EXPECT_EQ(ext.log, QStringList{"drawer.hide"});
    EXPECT_EQ(workspace.openedURLs(), QList<QUrl>{QUrl(QStringLiteral("https://example.com/page?n=1"))});
}

TEST_F(ClipCardMenuTest, ActionsDoNothingOnceTheModelIsGone)
{
    TempDir otherStore;
    auto model = std::make_unique<AppModel>(services(), otherStore.path(), ext.extensions());
    QMenu menu;
    ClipCardMenu({textClip(QStringLiteral("a"))}, {}, false).fill(menu, *model, false);
    model.reset();
    const int writes = pasteboard.writes().size();
    action(menu, QStringLiteral("Paste"))->trigger();
    EXPECT_EQ(pasteboard.writes().size(), writes);
}

} // namespace
} // namespace tamo::testing
