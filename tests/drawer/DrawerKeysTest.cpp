#include "QtPrinters.h"
#include "../app/AppModelFixture.h"

#include "drawer/DrawerEmptyState.h"
#include "drawer/DrawerKeys.h"
#include "drawer/DrawerSelection.h"
#include "drawer/SearchTyping.h"
#include "model/ClipLibrary.h"
#include "model/SettingsKeys.h"
#include "platform/Pasteboard.h"
#include "support/KeyPresses.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tamo;
using namespace tamo::testing;

namespace {

using Key = KeyPress::Key;
using Modifier = KeyPress::Modifier;
using Modifiers = KeyPress::Modifiers;

constexpr Modifiers command{Modifier::command};
constexpr Modifiers shift{Modifier::shift};
constexpr Modifiers option{Modifier::option};
constexpr Modifiers control{Modifier::control};

const QStringList pasteLog{"drawer.hide", "menubar.hide", "notice:Clip is ready"};
const QStringList copyLog{"drawer.hide.animated", "menubar.hide.animated", "ready:Clip is ready"};

// A strip of clips numbered from 1 in the order shown, over a real model.
// Each clip carries rich text, so a plain-text paste can be told apart.
class DrawerKeysTest : public AppModelFixture
{
protected:
    DrawerKeysTest() { defaults.setValue(keys::directPaste, false); }

    void addClips(int count)
    {
        for (int i = 0; i < count; ++i) {
            clock.advance(1000);
            const QString text = QStringLiteral("clip %1").arg(visible.size() + 1);
            visible.append(model().clips().ingest(ClipDraft::fromText(text, QByteArray("{\\rtf1 rich}")))->clip);
        }
    }

    // A fresh strip of `count` clips with clip `selected` current (0: none).
    void showClips(int count, int selected)
    {
        visible.clear();
        addClips(count);
        select(selected);
    }

    KeyResult press(const KeyPress &press) { return handleDrawerKey(press, {model(), visible, pinboardID}); }

    QUuid id(int number) const { return visible[number - 1]->id(); }
    void select(int number) { model().setSelectedItemID(number ? id(number) : QUuid()); }
    void selectTogether(const QList<int> &numbers)
    {
        QSet<QUuid> ids;
        for (int number : numbers)
            ids.insert(id(number));
        model().setMultiSelection(ids);
    }

    // 0 when nothing shown is current.
    int selectedNumber() { return int(selectedIndex(model(), visible) + 1); }
    QList<int> multiNumbers()
    {
        QList<QUuid> shown;
        for (const ClipItemPtr &clip : visible)
            shown.append(clip->id());
        return positionsOf(model().multiSelection(), shown);
    }

    // What the last write put on the pasteboard, as "clip 1+clip 2 (plain)".
    QString written() const
    {
        if (pasteboard.writes().isEmpty())
            return {};
        const bool rich = std::ranges::any_of(pasteboard.writes().last(),
                                              [](const PasteboardItem &item) { return item.contains(PasteboardType::rtf); });
        return lastWrittenTexts(pasteboard) + (rich ? QStringLiteral(" (rich)") : QStringLiteral(" (plain)"));
    }

    QList<ClipItemPtr> visible;
    QUuid pinboardID;
};

TEST_F(DrawerKeysTest, CommandRowsActOnlyWhenTheirConditionHolds)
{
    const struct {
        const char *name;
        int clips;
        int selected;
        KeyPress press;
        KeyResult result;
        QStringList log;
        QString written;
    } rows[] = {
        {"⌘1 with one clip pastes it", 1, 0, digit(1, command), KeyResult::handled, pasteLog, "clip 1 (rich)"},
        {"⌘5 with four clips", 4, 1, digit(5, command), KeyResult::ignored, {}, {}},
        {"⌘⇧2 pastes clip 2 as plain text", 4, 1, digit(2, command | shift, "@"), KeyResult::handled, pasteLog,
         "clip 2 (plain)"},
        {"⌘C with nothing selected", 3, 0, typed("c", command), KeyResult::ignored, {}, {}},
        {"⌘C copies the current clip", 3, 2, typed("c", command), KeyResult::handled, copyLog, "clip 2 (rich)"},
        {"⌘⇧C is no copy", 3, 2, typed("C", command | shift), KeyResult::ignored, {}, {}},
        {"⌘A with no clips", 0, 0, typed("a", command), KeyResult::ignored, {}, {}},
        {"⌘R with nothing selected", 3, 0, typed("r", command), KeyResult::ignored, {}, {}},
        {"⌘, opens the settings", 0, 0, typed(",", command), KeyResult::handled, {"drawer.hide", "settings"}, {}},
        {"⌘ with another key", 3, 1, typed("x", command), KeyResult::ignored, {}, {}},
        {"⌘Return", 3, 1, key(Key::returnKey, command), KeyResult::ignored, {}, {}},
        {"⌘→", 3, 1, key(Key::right, command), KeyResult::ignored, {}, {}},
        {"⌘Space", 3, 1, {.key = Key::space, .text = " ", .modifiers = command}, KeyResult::ignored, {}, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        showClips(row.clips, row.selected);
        ext.log.clear();
        const qsizetype writesBefore = pasteboard.writes().size();

        EXPECT_EQ(press(row.press), row.result);
        EXPECT_EQ(ext.log, row.log);
        EXPECT_EQ(pasteboard.writes().size() > writesBefore ? written() : QString(), row.written);
        EXPECT_EQ(selectedNumber(), row.selected);
        EXPECT_TRUE(model().previewItemID().isNull());
    }
}

TEST_F(DrawerKeysTest, CommandRStartsRenamingTheCurrentClip)
{
    addClips(3);
    select(2);
    EXPECT_EQ(press(typed("r", command)), KeyResult::handled);
    EXPECT_EQ(model().renamingItemID(), id(2));
    EXPECT_FALSE(model().renamingInMenuBar());
}

TEST_F(DrawerKeysTest, CommandASelectsEveryShownClipButNeverOneAlone)
{
    addClips(1);
    EXPECT_EQ(press(typed("a", command)), KeyResult::handled);
    EXPECT_TRUE(model().multiSelection().isEmpty());
    EXPECT_EQ(selectedNumber(), 1);

    addClips(2);
    model().selectRange(id(3), clipIDs(visible)); // anchor at clip 1
    EXPECT_EQ(press(typed("a", command)), KeyResult::handled);
    EXPECT_EQ(multiNumbers(), QList<int>({1, 2, 3}));
    EXPECT_EQ(selectedNumber(), 1);
    EXPECT_EQ(model().selectionAnchor(), id(1));
}

TEST_F(DrawerKeysTest, ArrowsMoveWithoutWrapping)
{
    const struct {
        const char *name;
        int clips;
        int selected;
        KeyPress press;
        KeyResult result;
        int selectedAfter;
    } rows[] = {
        {"← on the first clip", 3, 1, key(Key::left), KeyResult::handled, 1},
        {"→ on the last clip", 3, 3, key(Key::right), KeyResult::handled, 3},
        {"→ with nothing selected", 3, 0, key(Key::right), KeyResult::handled, 1},
        {"← with nothing selected", 3, 0, key(Key::left), KeyResult::handled, 1},
        {"↑ steps back", 3, 3, key(Key::up), KeyResult::handled, 2},
        {"↓ steps on", 3, 1, key(Key::down), KeyResult::handled, 2},
        {"⌃ and ⌥ do not block", 3, 1, key(Key::right, control | option), KeyResult::handled, 2},
        {"an empty strip", 0, 0, key(Key::right), KeyResult::ignored, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        showClips(row.clips, row.selected);
        EXPECT_EQ(press(row.press), row.result);
        EXPECT_EQ(selectedNumber(), row.selectedAfter);
    }
}

TEST_F(DrawerKeysTest, ShiftArrowsExtendAndAPlainArrowCollapses)
{
    addClips(6);
    select(1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(press(key(Key::right, shift)), KeyResult::handled);
    EXPECT_EQ(multiNumbers(), QList<int>({1, 2, 3, 4}));
    EXPECT_EQ(selectedNumber(), 4);

    press(key(Key::left, shift)); // back towards the anchor
    EXPECT_EQ(multiNumbers(), QList<int>({1, 2, 3}));

    press(key(Key::right));
    EXPECT_TRUE(model().multiSelection().isEmpty());
    EXPECT_EQ(selectedNumber(), 4);
}

TEST_F(DrawerKeysTest, ReturnPastesTheSelectionInStripOrderUnlessReordering)
{
    addClips(3);
    EXPECT_EQ(press(key(Key::returnKey)), KeyResult::ignored);
    EXPECT_TRUE(pasteboard.writes().isEmpty());

    select(3);
    selectTogether({3, 1});
    EXPECT_EQ(press(key(Key::returnKey)), KeyResult::handled);
    EXPECT_EQ(written(), "clip 1+clip 3 (rich)");
    EXPECT_EQ(ext.log.last(), "notice:2 clips are ready");

    EXPECT_EQ(press(key(Key::returnKey, shift | option)), KeyResult::handled);
    EXPECT_EQ(written(), "clip 1+clip 3 (plain)");

    // While pinboards are being reordered Return only ends that.
    model().setReorderingPinboards(true);
    const qsizetype writes = pasteboard.writes().size();
    EXPECT_EQ(press(key(Key::returnKey)), KeyResult::handled);
    EXPECT_FALSE(model().isReorderingPinboards());
    EXPECT_EQ(pasteboard.writes().size(), writes);
}

TEST_F(DrawerKeysTest, EscapeUndoesOneThingAtATimeThenHidesTheDrawer)
{
    addClips(3);
    select(2);
    selectTogether({1, 2});
    model().setSearchText(QStringLiteral("clip"));
    model().setReorderingPinboards(true);

    const auto escape = [&] { EXPECT_EQ(press(key(Key::escape)), KeyResult::handled); };
    escape();
    EXPECT_FALSE(model().isReorderingPinboards());
    EXPECT_EQ(multiNumbers(), QList<int>({1, 2}));

    escape();
    EXPECT_TRUE(model().multiSelection().isEmpty());
    EXPECT_EQ(selectedNumber(), 2);
    EXPECT_EQ(model().searchText(), "clip");

    escape();
    EXPECT_FALSE(model().isSearchActive());
    EXPECT_FALSE(ext.log.contains("drawer.hide.animated"));

    escape();
    EXPECT_EQ(ext.log.last(), "drawer.hide.animated");
}

TEST_F(DrawerKeysTest, DeleteEditsTheSearchTextFirst)
{
    addClips(2);
    select(1);
    const struct {
        const char *name;
        QString text;
        KeyPress press;
        QString textAfter;
    } rows[] = {
        {"⌥⌫ deletes a word", "hello wor", key(Key::deleteBackward, option), "hello "},
        {"⌘⌫ empties the text", "hello wor", key(Key::deleteBackward, command), ""},
        {"⌘⌥⌦ empties it too", "hello wor", key(Key::deleteForward, command | option), ""},
        {"⌫ drops one character", "hello wor", key(Key::deleteBackward), "hello wo"},
        {"⌫ drops a whole emoji", "hi 👍🏽", key(Key::deleteBackward), "hi "},
        {"⌦ leaves the text", "hello wor", key(Key::deleteForward), "hello wor"},
        {"a held ⌫ goes on", "abc", repeated(key(Key::deleteBackward)), "ab"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        model().setSearchText(row.text);
        EXPECT_EQ(press(row.press), KeyResult::handled);
        EXPECT_EQ(model().searchText(), row.textAfter);
    }
    EXPECT_FALSE(visible[0]->isGone());
}

TEST_F(DrawerKeysTest, DeleteThenRemovesChipsOnePerPressOrRepeat)
{
    addClips(1);
    select(1);
    const SearchFilter images = SearchFilter::kind(ClipKind::image);
    model().setSearchFilters({SearchFilter::kind(ClipKind::text), images, SearchFilter::app("org.demo", "Demo")});

    EXPECT_EQ(press(key(Key::deleteForward)), KeyResult::handled);
    EXPECT_EQ(model().searchFilters(), QList<SearchFilter>({SearchFilter::kind(ClipKind::text), images}));
    EXPECT_EQ(press(repeated(key(Key::deleteBackward, command))), KeyResult::handled);
    EXPECT_EQ(model().searchFilters(), QList<SearchFilter>({SearchFilter::kind(ClipKind::text)}));

    // An open search, even empty, keeps the clips from being deleted.
    model().setSearchFilters({});
    model().setSearchOpened(true);
    EXPECT_EQ(press(key(Key::deleteBackward)), KeyResult::handled);
    EXPECT_FALSE(visible[0]->isGone());
    EXPECT_EQ(selectedNumber(), 1);
}

TEST(DrawerSelection, DeletingMovesTheCursorAfterTheRemovedClips)
{
    const struct {
        const char *name;
        QList<int> removed;
        int next; // 0: nothing left
    } rows[] = {
        {"3 and 4 of 6", {3, 4}, 5},
        {"the last two", {5, 6}, 4},
        {"two apart", {2, 5}, 6},
        {"the first", {1}, 2},
        {"the last", {6}, 5},
        {"every clip", {1, 2, 3, 4, 5, 6}, 0},
    };
    QList<QUuid> ids;
    for (int i = 0; i < 6; ++i)
        ids.append(QUuid::createUuid());
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QSet<QUuid> removed;
        for (int number : row.removed)
            removed.insert(ids[number - 1]);
        EXPECT_EQ(selectionAfterRemoval(ids, removed), row.next ? ids[row.next - 1] : QUuid());
    }
}

TEST_F(DrawerKeysTest, DeleteRemovesTheSelectionFromTheHistoryOnce)
{
    addClips(6);
    select(3);
    selectTogether({3, 4});
    EXPECT_EQ(press(repeated(key(Key::deleteBackward))), KeyResult::handled);
    EXPECT_FALSE(visible[2]->isGone()); // a held key deletes only on its first press

    EXPECT_EQ(press(key(Key::deleteForward)), KeyResult::handled);
    EXPECT_TRUE(visible[2]->isGone());
    EXPECT_TRUE(visible[3]->isGone());
    EXPECT_EQ(model().selectedItemID(), id(5));
    for (int number : {1, 2, 5, 6})
        EXPECT_FALSE(visible[number - 1]->isGone()) << number;
}

TEST_F(DrawerKeysTest, DeleteInAPinboardOnlyUnpins)
{
    addClips(3);
    const PinboardPtr board = model().newPinboard();
    model().pin(visible, *board);
    pinboardID = board->id();
    select(3);

    EXPECT_EQ(press(key(Key::deleteBackward)), KeyResult::handled);
    EXPECT_FALSE(visible[2]->isGone());
    EXPECT_FALSE(visible[2]->pinboardID().has_value());
    EXPECT_TRUE(visible[1]->pinboardID().has_value());
    EXPECT_EQ(model().selectedItemID(), id(2));
}

TEST_F(DrawerKeysTest, TypingOpensTheSearchAndSpacePreviewsOnlyWhileItIsClosed)
{
    addClips(2);
    select(2);
    EXPECT_EQ(press(typed(" ")), KeyResult::handled);
    EXPECT_EQ(model().previewItemID(), id(2));
    EXPECT_EQ(ext.log.last(), "preview.show");

    EXPECT_EQ(press(typed("a")), KeyResult::handled);
    EXPECT_TRUE(model().searchOpened());
    EXPECT_EQ(press(typed("b", shift | option)), KeyResult::handled);
    EXPECT_EQ(press(typed(" ")), KeyResult::handled);
    EXPECT_EQ(press(typed("ü", option)), KeyResult::handled); // ⌥ combinations type their character
    EXPECT_EQ(model().searchText(), "ab ü");
    EXPECT_EQ(model().previewItemID(), id(2));

    model().resetSearch();
    select(0);
    EXPECT_EQ(press(typed(" ")), KeyResult::ignored);
}

TEST_F(DrawerKeysTest, KeysThatTypeNothingAreIgnored)
{
    addClips(1);
    const KeyPress rows[] = {
        typed("\x01"),                                         // a control character
        typed("\t"),                                           // a tab not named as Tab
        typed(""),                                             // a function key
        typed("a", control),                                   // ⌃ with a letter
        {.key = Key::space, .text = " ", .modifiers = control}, // ⌃Space while searching
    };
    model().setSearchOpened(true);
    for (const KeyPress &row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        EXPECT_EQ(press(row), KeyResult::ignored);
    }
    EXPECT_EQ(model().searchText(), "");
}

TEST_F(DrawerKeysTest, TabCyclesThePinboardsBothWays)
{
    const PinboardPtr first = model().newPinboard();
    const PinboardPtr second = model().newPinboard();
    EXPECT_EQ(press(key(Key::tab)), KeyResult::handled);
    EXPECT_EQ(model().selectedPinboardID(), first->id());
    EXPECT_EQ(press(key(Key::tab, shift)), KeyResult::handled);
    EXPECT_TRUE(model().selectedPinboardID().isNull());
    EXPECT_EQ(press(key(Key::backTab, shift)), KeyResult::handled);
    EXPECT_EQ(model().selectedPinboardID(), second->id());
    EXPECT_EQ(press(key(Key::tab)), KeyResult::handled);
    EXPECT_TRUE(model().selectedPinboardID().isNull());
}

TEST_F(DrawerKeysTest, RenamingAClipSuspendsEveryKey)
{
    addClips(3);
    model().setSearchText(QStringLiteral("cl"));
    model().beginRenaming(*visible[1], false);
    ext.log.clear();
    for (const KeyPress &row : {key(Key::right), key(Key::deleteBackward), key(Key::escape), key(Key::returnKey),
                                typed("a"), typed("a", command), typed(" ")}) {
        SCOPED_TRACE(int(row.key));
        EXPECT_EQ(press(row), KeyResult::ignored);
    }
    EXPECT_EQ(typeDrawerText(QStringLiteral("x"), {model(), visible, pinboardID}), KeyResult::ignored);
    EXPECT_EQ(selectedNumber(), 2);
    EXPECT_EQ(model().searchText(), "cl");
    EXPECT_TRUE(ext.log.isEmpty());
}

TEST_F(DrawerKeysTest, CommittedTextIsTypedThroughTheSameFilter)
{
    const DrawerKeyContext context{model(), visible, pinboardID};
    EXPECT_EQ(typeDrawerText(QStringLiteral("\n"), context), KeyResult::ignored);
    EXPECT_FALSE(model().searchOpened());
    EXPECT_EQ(typeDrawerText(QStringLiteral("日本\n語"), context), KeyResult::handled);
    EXPECT_TRUE(model().searchOpened());
    EXPECT_EQ(model().searchText(), "日本語");
}

TEST_F(DrawerKeysTest, SelectionReactionsKeepAShownClipOrTakeTheFirst)
{
    addClips(3);
    select(2);
    selectTogether({2, 3});
    ensureValidSelection(model(), visible);
    EXPECT_EQ(selectedNumber(), 2);

    const QList<ClipItemPtr> withoutTwo{visible[0], visible[2]};
    ensureValidSelection(model(), withoutTwo);
    EXPECT_EQ(model().selectedItemID(), id(1));
    EXPECT_EQ(multiNumbers(), QList<int>({2, 3})); // the multi-selection is not theirs to touch

    selectFirstVisible(model(), {visible[2]});
    EXPECT_EQ(model().selectedItemID(), id(3));
    ensureValidSelection(model(), {});
    EXPECT_TRUE(model().selectedItemID().isNull());
}

TEST(SearchTyping, KeepsWholeCharactersThatCanBeSearchedFor)
{
    const struct {
        const char *name;
        QString typed;
        QString kept;
    } rows[] = {
        {"line breaks", "a\nb\rc\r\nd\u000be\u000cf\u0085g\u2028h\u2029i", "abcdefghi"},
        {"tab and controls", "\tx\u0007\u001b", "x"},
        {"plain space but no other", "a b\u00a0c", "a bc"},
        {"punctuation and symbols", "¿.,€+^", "¿.,€+^"},
        {"numbers", "7½Ⅻ", "7½Ⅻ"},
        {"emoji beyond the basic plane", "😀👍🏽", "😀👍🏽"},
        {"joined emoji and flags", "👨‍👩‍👧🇫🇷1️⃣", "👨‍👩‍👧🇫🇷1️⃣"},
        {"combining accents stay on their letter", "e\u0301", "e\u0301"},
        {"a vowel sign on its own", "\u093f", "\u093f"},
        {"private-use function keys", "\uf704", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(typableSearchText(row.typed), row.kept);
    }
}

TEST(SearchTyping, DeletesWordsAndCharacters)
{
    const struct {
        QString text;
        QString withoutWord;
        QString withoutCharacter;
    } rows[] = {
        {"foo.bar ", "", "foo.bar"},
        {"hello wor", "hello ", "hello wo"},
        {"one two \n\t", "one ", "one two \n"},
        {"a\r\n", "", "a"},
        {"x 😀", "x ", "x "},
        {"café", "", "caf"},
        {"", "", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        EXPECT_EQ(deleteSearchWord(row.text), row.withoutWord);
        EXPECT_EQ(dropLastSearchCharacter(row.text), row.withoutCharacter);
    }
}

TEST(DrawerEmptyState, OwnMessagesOnlyForAStripWithoutClips)
{
    const QUuid board = QUuid::createUuid();
    const DrawerEmptyState history{"doc.on.clipboard", "Copy something to start your history"};
    const DrawerEmptyState pinboard{"pin", "Right-click a clip and choose Pin to add it here"};
    const DrawerEmptyState filtered{"magnifyingglass", "No clips match your filters"};
    EXPECT_EQ(DrawerEmptyState::forStrip("", {}, false), history);
    EXPECT_EQ(DrawerEmptyState::forStrip("", board, false), pinboard);
    EXPECT_EQ(DrawerEmptyState::forStrip("", board, true), filtered);
    EXPECT_EQ(DrawerEmptyState::forStrip("zz", board, false), DrawerEmptyState({"magnifyingglass", "No clips match “zz”"}));
}

} // namespace
