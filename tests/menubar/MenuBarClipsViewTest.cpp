#include "drawer/StripFixture.h"

#include "app/AppModel.h"
#include "cards/ClipCard.h"
#include "cards/OverlayScrollBar.h"
#include "cards/ViewStyles.h"
#include "drawer/ClipCardMenu.h"
#include "drawer/EmptyStripView.h"
#include "drawer/StripClips.h"
#include "drawer/ExploreFeaturesButton.h"
#include "drawer/FilterChip.h"
#include "drawer/PinboardNameField.h"
#include "drawer/PinboardTabLabel.h"
#include "drawer/KeyPress.h"
#include "menubar/MenuBarCardGrid.h"
#include "menubar/MenuBarClipsState.h"
#include "menubar/MenuBarClipsView.h"
#include "menubar/MenuBarKeys.h"
#include "menubar/MenuBarPinboardChip.h"
#include "model/ClipLibrary.h"
#include "model/SettingsEnums.h"
#include "support/KeyPresses.h"
#include "support/ShownText.h"
#include "support/UnnamedControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QThread>
#include <QToolButton>
#include <QWheelEvent>

namespace tamo::testing {
namespace {

using Key = KeyPress::Key;
using Modifier = KeyPress::Modifier;
using menubarkeys::gridKeyPress;
using menubarkeys::searchKeyPress;

class MenuBarClipsViewTest : public StripFixture
{
protected:
    void makeView()
    {
        view = std::make_unique<MenuBarClipsView>(
            model(), cards(), counters,
            MenuBarClipsView::Actions{[this] { log.append("close"); }, [this] { log.append("openTamo"); },
                                      [this] { log.append("menu"); },
                                      [this](const QList<ClipItemPtr> &clips) { log.append("click:" + texts(clips).join('+')); }});
        view->resize(420, 600);
        view->show();
        counters.setOpenCount(counters.openCount() + 1);
    }

    void clearHistory()
    {
        view.reset();
        model().deleteItems(model().container().mainContext().fetch<ClipItem>());
    }

    MenuBarViewState &state() { return view->viewState(); }
    QList<ClipItemPtr> shown() { return state().clipsWithIDs(state().visibleIDs()); }

    // Positions from 1 in the shown order; 0 for none.
    int selectedNumber() { return int(state().visibleIDs().indexOf(state().selectedID())) + 1; }
    QList<int> multiNumbers() { return positionsOf(state().multiSelection(), state().visibleIDs()); }
    void select(int number) { state().setSelection(state().visibleIDs()[number - 1], {}); }
    QString lastPaste() const { return lastWrittenTexts(pasteboard); }
    void search(const QString &text)
    {
        state().setQuery(text);
        ASSERT_TRUE(QTest::qWaitFor([&] { return state().results().has_value(); }));
    }

    MenuBarClipsState counters;
    std::unique_ptr<MenuBarClipsView> view;
    QStringList log;
};

TEST_F(MenuBarClipsViewTest, SearchPagesThroughTheWholeHistory)
{
    for (const auto &[count, fetches] : {std::pair{1234, 3}, {1000, 3}, {3, 1}}) {
        clearHistory();
        addClips(count, "note");
        makeView();
        search("note");
        EXPECT_EQ(shown().size(), count);
        EXPECT_EQ(state().lastSearchFetches(), fetches) << count;
    }
}

TEST_F(MenuBarClipsViewTest, TypingQuicklyRunsOneSearchForTheLastQuery)
{
    addClips(3, "alpha");
    addClips(2, "beta");
    makeView();
    for (const QString q : {"b", "be", "bet", "beta", "beta "})
        state().setQuery(q);
    EXPECT_FALSE(state().results().has_value());
    EXPECT_TRUE(view->grid()->cards().isEmpty()); // nothing to click that is no result
    EXPECT_EQ(view->titleLabel()->text(), "Searching…");
    EXPECT_TRUE(view->emptyView()->isHidden());
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().results().has_value(); }));
    EXPECT_EQ(texts(shown()), QStringList({"beta 2", "beta 1"}));
    EXPECT_EQ(view->titleLabel()->text(), "2 Matches");

    state().setQuery("   ");
    EXPECT_FALSE(state().isSearching());
    EXPECT_EQ(shown().size(), 5);
    state().setFilters({SearchFilter::kind(ClipKind::image)});
    EXPECT_TRUE(state().isSearching());
}

// A long history's newest results show before the rest is read; the list
// only grows behind them, and a letter typed meanwhile leaves nothing of the
// search it replaced on screen.
TEST_F(MenuBarClipsViewTest, TheNewestResultsShowFirstAndTheRestFollow)
{
    addClips(1500, "note");
    makeView();
    QList<QList<QUuid>> shownLists;
    QStringList titles;
    QObject::connect(&state(), &MenuBarViewState::visibleClipsChanged, [&] {
        if (state().visibleIDs().isEmpty())
            return; // the wait for a first search's results
        shownLists.append(state().visibleIDs());
        titles.append(view->titleLabel()->text());
    });
    for (const QString query : {"note", "note 1"}) {
        SCOPED_TRACE(query.toStdString());
        state().clearSearch();
        shownLists.clear();
        titles.clear();
        search(query);
        const QList<QUuid> whole = *state().results();
        ASSERT_EQ(shownLists.size(), 2);
        EXPECT_EQ(shownLists.first(), whole.first(firstFrameClips));
        EXPECT_EQ(titles.first(), "Searching…");
        EXPECT_EQ(shownLists.last(), whole);
        EXPECT_EQ(view->titleLabel()->text(), QStringLiteral("%1 Matches").arg(whole.size()));
    }

    state().setQuery("note 2");
    state().computeResults();
    QThread::msleep(200); // the search for "note 2" finds its first results meanwhile
    state().setQuery("note 3");
    shownLists.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().results() && state().results()->size() == 111; }))
        << "3, 30–39 and 300–399";
    const QList<QUuid> whole = *state().results();
    ASSERT_EQ(shownLists.size(), 2);
    for (const QList<QUuid> &ids : shownLists)
        EXPECT_EQ(ids, whole.first(ids.size()));
}

TEST_F(MenuBarClipsViewTest, AResultDeletedElsewhereVanishes)
{
    const QList<ClipItemPtr> clips = addClips(3);
    makeView();
    search("clip");
    model().deleteItems({clips[1]});
    EXPECT_EQ(texts(shown()), QStringList({"clip 3", "clip 1"}));
    EXPECT_EQ(view->grid()->cards().size(), 2);
}

// Copies saved while a search shows (or is still on its way) join its results
// at the front; clips only the store can place are found by searching again.
TEST_F(MenuBarClipsViewTest, MatchingCopiesJoinTheResultsAtTheFront)
{
    const QString filler(5000, QLatin1Char('x'));
    const struct
    {
        const char *name;
        QStringList history;
        QString query;
        bool copiesAfterResults;
        QStringList copies; // 150 ms apart
        QStringList shown;
    } cases[] = {
        {"matches while the search starts", {"busy day", "quiet"}, "busy", false,
         {"busy 1", "busy 2", "not this", "busy 3", "busy 4", "busy 5"},
         {"busy 5", "busy 4", "busy 3", "busy 2", "busy 1", "busy day"}},
        {"a first match after none", {"horse"}, "zebra", true, {"zebra crossing one"}, {"zebra crossing one"}},
        {"an older match copied again", {"busy old", "quiet"}, "busy", true, {"busy new", "busy old"},
         {"busy old", "busy new"}},
        {"a match past a long text's beginning", {"busy day"}, "busy", true, {filler + " busy"},
         {filler + " busy", "busy day"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        clearHistory();
        for (const QString &text : c.history) {
            clock.advance(1000);
            model().clips().ingest(ClipDraft::fromText(text));
        }
        makeView();
        if (c.copiesAfterResults)
            search(c.query);
        else
            state().setQuery(c.query);
        for (const QString &text : c.copies) {
            QTest::qWait(150);
            clock.advance(150);
            ASSERT_TRUE(model().clips().ingest(ClipDraft::fromText(text)));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return state().results() && texts(shown()) == c.shown; }))
            << texts(shown()).join(", ").toStdString();
        EXPECT_EQ(view->titleLabel()->text(),
                  c.shown.size() == 1 ? QStringLiteral("1 Match") : QStringLiteral("%1 Matches").arg(c.shown.size()));
        EXPECT_TRUE(view->emptyView()->isHidden());
    }
}

// A search of a long history ends and shows while copies keep arriving;
// each copy does not start it over.
TEST_F(MenuBarClipsViewTest, ASteadyStreamOfCopiesLetsTheSearchEnd)
{
    addClips(5'000, "note");
    makeView();
    state().setQuery("note");
    int copies = 0;
    const bool ended = QTest::qWaitFor(
        [&] {
            clock.advance(20);
            model().clips().ingest(ClipDraft::fromText(QStringLiteral("note copied %1").arg(++copies)));
            return state().results() && state().results()->size() > 5'000;
        },
        30'000);
    ASSERT_TRUE(ended) << copies << " copies";
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().results()->size() == 5'000 + copies; }));
    EXPECT_EQ(shown().first()->text(), QStringLiteral("note copied %1").arg(copies));
}

TEST_F(MenuBarClipsViewTest, TabCyclesTheScopeAndADeletedScopeFallsBackToTheHistory)
{
    addClips(2);
    makeView();
    EXPECT_TRUE(state().handleTab(true));
    EXPECT_TRUE(state().boardID().isNull()); // no pinboards

    const PinboardPtr a = model().newPinboard();
    const PinboardPtr b = model().newPinboard();
    state().setBoardID(b->id());
    state().cyclePinboardScope(true);
    EXPECT_TRUE(state().boardID().isNull());
    state().setBoardID(b->id());
    state().cyclePinboardScope(false);
    EXPECT_EQ(state().boardID(), a->id());
    state().cyclePinboardScope(false);
    state().cyclePinboardScope(false);
    EXPECT_EQ(state().boardID(), b->id());

    EXPECT_EQ(view->emptyView()->state().message, QStringLiteral("Nothing pinned to %1 yet").arg(b->name()));
    model().deletePinboard(b);
    EXPECT_FALSE(state().selectedBoard());
    EXPECT_EQ(shown().size(), 2);
    EXPECT_EQ(view->titleLabel()->text(), "Recent Clips");

    model().setRenamingItemID(state().visibleIDs().first());
    EXPECT_FALSE(state().handleTab(true));
    EXPECT_EQ(gridKeyPress(state(), key(Key::down)), KeyResult::ignored);
}

// Tab cycles the scope from the grid and the search field alike; with a
// modifier it is left to the focus chain.
TEST_F(MenuBarClipsViewTest, TabKeyCyclesTheScopeWhereverTheFocusIs)
{
    addClips(2);
    const PinboardPtr board = model().newPinboard();
    makeView();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    state().setFocus(MenuBarViewState::Focus::grid);
    QTest::keyClick(view->grid(), Qt::Key_Tab);
    EXPECT_EQ(state().boardID(), board->id());
    EXPECT_TRUE(view->grid()->hasFocus());

    state().setFocus(MenuBarViewState::Focus::search);
    QTest::keyClick(view->searchField(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(state().boardID().isNull());
    QTest::keyClick(view->searchField(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(state().boardID().isNull());
}

TEST_F(MenuBarClipsViewTest, GridKeyTable)
{
    const struct {
        const char *name;
        int clips;
        int selected;
        KeyPress press;
        KeyResult result;
        int selectedAfter;
        QString pasted;
    } rows[] = {
        {"arrows ignored with no clips", 0, 0, key(Key::down), KeyResult::ignored, 0, {}},
        {"⌘A ignored with no clips", 0, 0, typed("a", Modifier::command), KeyResult::ignored, 0, {}},
        {"⌘1 ignored with no clips", 0, 0, digit(1), KeyResult::ignored, 0, {}},
        {"Return ignored with no clips", 0, 0, key(Key::returnKey), KeyResult::ignored, 0, {}},
        {"⌘5 ignored with four clips", 4, 1, digit(5), KeyResult::ignored, 1, {}},
        {"⌘5 pastes the fifth", 5, 1, digit(5), KeyResult::handled, 1, "clip 1"},
        {"⌘0 ignored", 5, 1, digit(0), KeyResult::ignored, 1, {}},
        {"→ stops at the last", 3, 3, key(Key::right), KeyResult::handled, 3, {}},
        {"← stops at the first", 3, 1, key(Key::left), KeyResult::handled, 1, {}},
        {"↑ is ← in the grid", 3, 2, key(Key::up), KeyResult::handled, 1, {}},
        {"↓ with nothing selected takes the second", 3, 0, key(Key::down), KeyResult::handled, 2, {}},
        {"Return pastes the selection", 3, 2, key(Key::returnKey), KeyResult::handled, 2, "clip 2"},
        {"⌥ letter ignored", 3, 1, typed("x", Modifier::option), KeyResult::ignored, 1, {}},
        {"plain ⌫ ignored", 3, 1, {.key = Key::deleteBackward, .text = "\b"}, KeyResult::ignored, 1, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        clearHistory();
        addClips(row.clips);
        makeView();
        state().setSelection(row.selected ? state().visibleIDs()[row.selected - 1] : QUuid(), {});
        const qsizetype writes = pasteboard.writes().size();
        EXPECT_EQ(gridKeyPress(state(), row.press), row.result);
        EXPECT_EQ(selectedNumber(), row.selectedAfter);
        EXPECT_EQ(pasteboard.writes().size() > writes ? lastPaste() : QString(), row.pasted);
    }
}

// ⌘ keys the tables name act from the grid and the search field alike; in
// the field the others do nothing, except the field's own editing keys.
TEST_F(MenuBarClipsViewTest, CommandKeysInTheGridAndTheSearchField)
{
    const struct {
        const char *name;
        bool inField;
        QString query;
        KeyPress press;
        KeyResult result;
        bool renames;
    } rows[] = {
        {"⌘R renames from the grid", false, {}, typed("r", Modifier::command), KeyResult::handled, true},
        {"⌘R renames from the field", true, {}, typed("r", Modifier::command), KeyResult::handled, true},
        {"⌘R renames while searching", true, "clip", typed("r", Modifier::command), KeyResult::handled, true},
        {"⌘Q does nothing in the field", true, {}, typed("q", Modifier::command), KeyResult::handled, false},
        {"⌘J does nothing in the grid", false, {}, typed("j", Modifier::command), KeyResult::ignored, false},
        {"⌘V pastes into the field", true, {}, typed("v", Modifier::command), KeyResult::ignored, false},
        {"⌘C copies the field's text", true, "clip", typed("c", Modifier::command), KeyResult::ignored, false},
        {"⌘⌫ deletes the field's word", true, "clip", {.key = Key::deleteBackward, .modifiers = Modifier::command},
         KeyResult::ignored, false},
    };
    addClips(3);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        makeView();
        model().setRenamingItemID({});
        if (!row.query.isEmpty())
            search(row.query);
        state().setSelection(state().visibleIDs().first(), {});
        const KeyResult result
            = row.inField ? searchKeyPress(state(), row.press) : gridKeyPress(state(), row.press);
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(model().renamingItemID(), row.renames ? state().selectedID() : QUuid());
        EXPECT_EQ(model().renamingInMenuBar(), row.renames);
        model().setRenamingInMenuBar(false);
    }
}

TEST_F(MenuBarClipsViewTest, RangesToggleAndEscapeTakeBackOneLevel)
{
    addClips(6);
    makeView();
    for (int i = 0; i < 3; ++i)
        gridKeyPress(state(), key(Key::down, Modifier::shift));
    EXPECT_EQ(multiNumbers(), QList<int>({1, 2, 3, 4}));
    gridKeyPress(state(), key(Key::down));
    EXPECT_TRUE(multiNumbers().isEmpty());
    EXPECT_EQ(selectedNumber(), 5);

    search("clip");
    select(2);
    state().toggleSelection(state().selectedID());
    EXPECT_EQ(selectedNumber(), 0);
    state().toggleSelection(state().visibleIDs()[0]);
    state().toggleSelection(state().visibleIDs()[3]);
    EXPECT_EQ(multiNumbers(), QList<int>({1, 4}));
    EXPECT_EQ(texts(state().clipsForCard(shown()[3])), QStringList({"clip 6", "clip 3"}));
    EXPECT_EQ(texts(state().clipsForCard(shown()[1])), QStringList({"clip 5"}));

    EXPECT_EQ(searchKeyPress(state(), key(Key::escape)), KeyResult::handled);
    EXPECT_TRUE(multiNumbers().isEmpty());
    EXPECT_EQ(state().query(), "clip");
    searchKeyPress(state(), key(Key::escape));
    EXPECT_EQ(state().query(), "");
    EXPECT_TRUE(log.isEmpty());
    searchKeyPress(state(), key(Key::escape));
    EXPECT_EQ(log, QStringList({"close"}));
}

TEST_F(MenuBarClipsViewTest, DeletingPicksTheNextClipAndUnpinsInAPinboard)
{
    const QList<ClipItemPtr> clips = addClips(10);
    makeView();
    state().setSelection(state().visibleIDs()[7], {state().visibleIDs()[7], state().visibleIDs()[8], state().visibleIDs()[9]});
    EXPECT_EQ(gridKeyPress(state(), {.key = Key::deleteBackward, .modifiers = Modifier::command, .isRepeat = true}),
              KeyResult::ignored);
    EXPECT_EQ(gridKeyPress(state(), {.key = Key::deleteBackward, .modifiers = Modifier::command}), KeyResult::handled);
    EXPECT_EQ(shown().size(), 7);
    EXPECT_EQ(selectedNumber(), 7);

    const PinboardPtr board = model().newPinboard();
    model().pin({clips[0]}, *board);
    state().setBoardID(board->id());
    gridKeyPress(state(), {.key = Key::deleteForward, .modifiers = Modifier::command});
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(state().selectedID(), QUuid());
    EXPECT_EQ(state().items().size(), 7); // only unpinned
}

TEST_F(MenuBarClipsViewTest, TypingInTheGridMovesToTheSearchAndSpacePreviews)
{
    addClips(3);
    makeView();
    EXPECT_EQ(gridKeyPress(state(), typed("a")), KeyResult::handled);
    EXPECT_EQ(state().query(), "a");
    EXPECT_EQ(state().focus(), MenuBarViewState::Focus::search);
    EXPECT_EQ(searchKeyPress(state(), typed(" ")), KeyResult::ignored); // searching: Space types

    state().setQuery("  ");
    select(2);
    EXPECT_EQ(searchKeyPress(state(), typed(" ")), KeyResult::handled);
    EXPECT_EQ(model().previewItemID(), state().visibleIDs()[1]);
    EXPECT_EQ(model().previewOrder(), state().visibleIDs());
}

TEST_F(MenuBarClipsViewTest, OpeningResetsSearchScopeAndSelection)
{
    addClips(4);
    const PinboardPtr board = model().newPinboard();
    makeView();
    state().setBoardID(board->id());
    state().setFilters({SearchFilter::kind(ClipKind::text)});
    state().setQuery("clip 2");
    counters.setOpenCount(counters.openCount() + 1);
    EXPECT_EQ(state().query(), "");
    EXPECT_TRUE(state().filters().isEmpty());
    EXPECT_FALSE(state().results().has_value());
    EXPECT_TRUE(state().boardID().isNull());
    EXPECT_EQ(selectedNumber(), 1);
    EXPECT_EQ(state().focus(), MenuBarViewState::Focus::search);
    EXPECT_EQ(view->grid()->cards().size(), 4);
    EXPECT_EQ(view->grid()->cards().first()->fields().quickPasteNumber, 1);
}

TEST_F(MenuBarClipsViewTest, EmptyStatesAndDrawerButton)
{
    makeView();
    // Centred in the grid from the first showing, its message whole.
    EmptyStripView &empty = *view->emptyView();
    EXPECT_EQ(empty.state(), (DrawerEmptyState{"doc.on.clipboard", "Copy something to start your history"}));
    EXPECT_EQ(empty.geometry().center(), view->grid()->viewport()->rect().center());
    EXPECT_GE(empty.width(), empty.sizeHint().width());
    search("x");
    EXPECT_EQ(empty.state(), (DrawerEmptyState{"magnifyingglass", "No clips match your search"}));
    EXPECT_EQ(view->titleLabel()->text(), "No Matches");
    EXPECT_EQ(view->drawerShortcut()->text(), "Ctrl+Shift+V");
    EXPECT_EQ(view->drawerShortcut()->palette().color(QPalette::WindowText), sharedSecondaryLabelColor());
    defaults.setValue(keys::shortcutTarget, rawValue(ShortcutTarget::menuBar));
    EXPECT_TRUE(view->drawerShortcut()->isHidden());
    view->findChild<ExploreFeaturesButton *>()->click();
    EXPECT_TRUE(ext.log.contains("tour.show"));
}

// Each of the bottom bar's buttons, clicked as a person clicks it, reaches its action.
TEST_F(MenuBarClipsViewTest, BottomBarButtonsReachTheirActions)
{
    makeView();
    const std::pair<QString, QString> rows[] = {
        {"Open TamoCove Panel", "openTamo"},
        {"TamoCove Menu", "menu"},
    };
    for (const auto &[name, action] : rows) {
        QToolButton *button = nullptr;
        for (QToolButton *candidate : view->findChildren<QToolButton *>()) {
            if (candidate->accessibleName() == name)
                button = candidate;
        }
        ASSERT_NE(button, nullptr) << name.toStdString();
        log.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(log, QStringList{action}) << name.toStdString();
    }
}

TEST_F(MenuBarClipsViewTest, ClickingChipsRemovesTheirFilterAndChangesTheScope)
{
    addClips(2);
    const PinboardPtr board = model().newPinboard();
    makeView();
    state().toggleFilter(SearchFilter::kind(ClipKind::image));
    state().toggleFilter(SearchFilter::kind(ClipKind::text));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<FilterChip *> chips = view->findChildren<FilterChip *>();
    ASSERT_EQ(chips.size(), 2);
    chips.first()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(state().filters(), QList<SearchFilter>({SearchFilter::kind(ClipKind::text)}));

    state().clearFilters();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QAbstractButton *chip : view->findChildren<QAbstractButton *>()) {
        if (shownText(chip) == board->name())
            chip->click();
    }
    EXPECT_EQ(state().boardID(), board->id());
    EXPECT_EQ(view->searchField()->placeholderText(), "Search " + board->name());

    // Searching in the pinboard puts its chip in the capsule; a click widens the search.
    search("clip");
    auto *scoped = view->findChild<MenuBarPinboardChip *>();
    ASSERT_NE(scoped, nullptr);
    EXPECT_EQ(scoped->toolTip(), "Search all clips instead");
    scoped->click();
    EXPECT_TRUE(state().boardID().isNull());
}

// Chips and tabs draw their titles; screen readers read the same names,
// "&" included.
TEST_F(MenuBarClipsViewTest, ChipsNameTheirAmpersands)
{
    addClips(1);
    const PinboardPtr board = model().newPinboard();
    board->setName(QStringLiteral("Links & Docs"));
    model().commitPinboardRename(*board);
    makeView();
    QStringList names;
    for (PinboardTabLabel *chip : view->findChildren<PinboardTabLabel *>())
        names.append(shownText(chip));
    EXPECT_TRUE(names.contains(QStringLiteral("Links & Docs"))) << names.join('|').toStdString();

    state().setBoardID(board->id());
    state().toggleFilter(SearchFilter::app(QStringLiteral("com.example.att"), QStringLiteral("AT&T")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(view->findChild<MenuBarPinboardChip *>(), nullptr);
    EXPECT_EQ(shownText(view->findChild<MenuBarPinboardChip *>()), QStringLiteral("Links & Docs"));
    ASSERT_NE(view->findChild<FilterChip *>(), nullptr);
    EXPECT_EQ(shownText(view->findChild<FilterChip *>()), QStringLiteral("AT&T"));
}

// A pinboard chip's menu renames, recolours and deletes; the rename field
// stores the trimmed name when the focus leaves it.
TEST_F(MenuBarClipsViewTest, PinboardChipMenuRenameAndDelete)
{
    addClips(2);
    QList<PinboardPtr> boards;
    for (int i = 0; i < 12; ++i) {
        boards.append(model().newPinboard());
        boards.last()->setName(QStringLiteral("Board %1").arg(i));
        model().commitPinboardRename(*boards.last());
    }
    model().setPinboardColor(3, *boards[0]);
    makeView();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    const auto chipOf = [&](const PinboardPtr &board) -> PinboardTabLabel * {
        for (auto *chip : view->findChildren<PinboardTabLabel *>()) {
            if (!chip->isHidden() && chip->toolTip() == "Clips pinned to " + board->name())
                return chip;
        }
        return nullptr;
    };

    // The row scrolls to a chip far to the right when it becomes the scope.
    state().setBoardID(boards.last()->id());
    QScrollArea *row = view->findChild<QScrollArea *>();
    PinboardTabLabel *last = chipOf(boards.last());
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(row->viewport()->rect().contains(QRect(last->mapTo(row->viewport(), QPoint()), last->size())));

    emit chipOf(boards[0])->customContextMenuRequested({});
    QMenu *menu = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets())
        menu = qobject_cast<QMenu *>(window) && window->isVisible() ? static_cast<QMenu *>(window) : menu;
    ASSERT_NE(menu, nullptr);
    QStringList titles;
    for (QAction *action : menu->actions())
        titles.append(action->text());
    EXPECT_EQ(titles, QStringList({"Rename", "Color", "", "Delete Pinboard"}));
    QAction *current = menu->actions()[1]->menu()->actions()[3];
    EXPECT_TRUE(current->isChecked());
    // Its mark goes around the colour's dot, never over it.
    const QImage checked = current->icon().pixmap(16, QIcon::Normal, QIcon::On).toImage();
    const QImage unchecked = current->icon().pixmap(16, QIcon::Normal, QIcon::Off).toImage();
    EXPECT_NE(checked, unchecked);
    for (int y = 4; y < 12; ++y) {
        for (int x = 4; x < 12; ++x)
            ASSERT_EQ(checked.pixel(x, y), unchecked.pixel(x, y)) << x << "," << y;
    }
    // Destructive, it wears the red trash the clip menu's deletion wears.
    EXPECT_EQ(menu->actions()[3]->icon().pixmap(16).toImage(), ClipCardMenu::redTrashImage().pixmap(16).toImage());
    menu->close();

    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    state().startBoardRename(boards[0]);
    QPointer<PinboardNameField> field = view->findChild<PinboardNameField *>();
    ASSERT_TRUE(field);
    ASSERT_TRUE(QTest::qWaitFor([&] { return field && field->lineEdit()->hasFocus(); }));
    QTest::keyClicks(field->lineEdit(), QStringLiteral("  Work  "));
    state().setFocus(MenuBarViewState::Focus::grid); // the focus leaves the field
    EXPECT_TRUE(QTest::qWaitFor([&] { return state().renamingBoardID().isNull(); }));
    EXPECT_EQ(boards[0]->name(), QStringLiteral("Work"));

    state().deleteBoard(boards.last());
    EXPECT_TRUE(state().boardID().isNull());
    EXPECT_EQ(view->titleLabel()->text(), "Recent Clips");
}

TEST_F(MenuBarClipsViewTest, ALongHistoryBuildsCardsOnlyForTheRowsInView)
{
    const QList<ClipItemPtr> clips = addClips(2000);
    makeView();
    // The first frame reads only what it can show; the rest follows it.
    EXPECT_EQ(state().items().size(), firstFrameClips);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().items().size() == 2000; }));
    MenuBarCardGrid &grid = *view->grid();
    const int rowsInView = grid.viewport()->height() / grid.gridLayout().pitch() + 2;
    const int mostCards = grid.gridLayout().columns * (rowsInView + 2 * MenuBarCardGrid::offscreenRows);
    EXPECT_LE(grid.findChildren<ClipCard *>().size(), mostCards);
    QScrollBar *bar = grid.verticalScrollBar();
    for (int value = 0; value < bar->maximum(); value += 5000) {
        bar->setValue(value);
        ASSERT_LE(grid.findChildren<ClipCard *>().size(), mostCards) << "at " << value;
    }

    // Selecting the last clip scrolls it into view; the clip being renamed keeps its card.
    model().setRenamingItemID(clips.last()->id());
    select(2000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() == grid.scrollTarget(); })); // it springs there
    ASSERT_NE(grid.cardFor(clips.first()->id()), nullptr);
    const QRect last = grid.cardFor(clips.first()->id())->geometry();
    EXPECT_GE(last.top(), 0);
    EXPECT_LE(last.bottom(), grid.viewport()->height() - 1);
    EXPECT_NE(grid.cardFor(clips.last()->id()), nullptr);
    EXPECT_EQ(grid.cardFor(clips[1000]->id()), nullptr);
    model().setRenamingItemID({});
    EXPECT_EQ(grid.cardFor(clips.last()->id()), nullptr);
    EXPECT_LE(grid.findChildren<ClipCard *>().size(), mostCards + 1);
}

// A save or a new copy leaves the grid where the user scrolled it; only a new selection moves it.
TEST_F(MenuBarClipsViewTest, GridScrollsOnlyWhenTheSelectionChanges)
{
    addClips(40);
    makeView();
    QScrollBar *bar = view->grid()->verticalScrollBar();
    bar->setValue(900);
    addClips(1, "new");
    EXPECT_EQ(bar->value(), 900);
    EXPECT_EQ(view->grid()->scrollTarget(), 900);

    select(3);
    EXPECT_LT(view->grid()->scrollTarget(), 900);
}

// One row runs sideways and a mouse wheel turns it.
TEST_F(MenuBarClipsViewTest, HorizontalLayoutIsOneRow)
{
    addClips(12);
    defaults.setValue(keys::menuBarLayout, rawValue(MenuBarLayout::horizontal));
    makeView();
    MenuBarCardGrid &grid = *view->grid();
    const QList<ClipCard *> cards = grid.cards();
    ASSERT_GE(cards.size(), 2);
    EXPECT_EQ(cards[0]->y(), cards[1]->y());
    EXPECT_GT(cards[1]->x(), cards[0]->x());
    EXPECT_GT(grid.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(grid.verticalScrollBar()->maximum(), 0);
    // Only the row's slim bar shows, over the cards rather than beside them.
    QList<OverlayScrollBar *> shown;
    for (OverlayScrollBar *bar : grid.findChildren<OverlayScrollBar *>())
        if (!bar->isHidden())
            shown.append(bar);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first()->orientation(), Qt::Horizontal);
    EXPECT_TRUE(grid.viewport()->geometry().contains(shown.first()->geometry()));

    QWheelEvent wheel(QPointF(10, 10), grid.viewport()->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, -120),
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(grid.viewport(), &wheel);
    EXPECT_EQ(grid.horizontalScrollBar()->value(), 12);
}

TEST_F(MenuBarClipsViewTest, AClosedPanelHoldsNoClipsAndCatchesUpWhenOpened)
{
    addClips(3);
    makeView();
    view->hide();
    EXPECT_TRUE(state().items().isEmpty());
    EXPECT_TRUE(view->grid()->cards().isEmpty());

    addClips(1, QStringLiteral("while closed"));
    EXPECT_TRUE(state().items().isEmpty()) << "a closed panel re-read the history after a save";
    view->show();
    counters.setOpenCount(counters.openCount() + 1);
    ASSERT_EQ(shown().size(), 4);
    EXPECT_EQ(shown().first()->text(), QStringLiteral("while closed 1"));
}

TEST_F(MenuBarClipsViewTest, CopiesIntoALongHistoryWithEveryViewAliveAreEachKeptInOrder)
{
    ModelContext &context = model().container().mainContext();
    for (int i = 0; i < 100'000; ++i)
        context.insert(std::make_shared<ClipItem>(ClipDraft::fromText(QString::number(i)), clock.now().addSecs(-i)));
    ASSERT_TRUE(context.save());
    startedModel();
    makeView();
    const auto strip = makeStrip();
    view->hide(); // one view open, one closed

    QStringList copied;
    for (int i = 0; i < 200; ++i) {
        clock.advance(20);
        copied.prepend(QStringLiteral("copy %1").arg(i));
        pasteboard.copy({{PasteboardType::string, copied.first().toUtf8()}});
        // Reads run off the main thread: each copy is in before the clock moves on.
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return !strip->visibleClips().isEmpty() && strip->visibleClips().first()->text() == copied.first();
        })) << i;
    }
    EXPECT_EQ(texts(strip->visibleClips().mid(0, 200)), copied);
    view->show();
    counters.setOpenCount(counters.openCount() + 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown().size() >= 200; }));
    EXPECT_EQ(texts(shown().mid(0, 200)), copied);
}

TEST(MenuBarCardSize, SmallDrawerCardsGiveTheSmallestAndLargeOnesAreCapped)
{
    EXPECT_DOUBLE_EQ(MenuBarCardGrid::cardSize(0.75).scale, 0.54);
    EXPECT_DOUBLE_EQ(MenuBarCardGrid::cardSize(2.0).scale, MenuBarCardGrid::cardSize(1.5).scale);
}


// Screen readers and AT-SPI clients find each control by its name, in every
// state the panel shows.
TEST_F(MenuBarClipsViewTest, EveryControlHasANameInEachState)
{
    ext.syncStatus = SyncStatus::of(SyncStatus::Kind::noAccount); // its icon-only indicator shows
    const QList<ClipItemPtr> clips = addClips(3);
    const PinboardPtr board = model().newPinboard();
    model().pin({clips.first()}, *board);
    makeView();
    ClipCard *card = view->grid()->cardFor(clips.first()->id());
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(shownText(card).contains(QStringLiteral("clip 1"))) << "a card is named by what it shows";
    const std::pair<const char *, std::function<void()>> states[] = {
        {"history", [] {}},
        {"a search with a filter in a pinboard",
         [&] {
             state().setBoardID(board->id());
             state().setQuery(QStringLiteral("clip"));
             state().toggleFilter(SearchFilter::kind(ClipKind::text));
         }},
        {"a pinboard being renamed",
         [&] {
             state().clearSearch();
             state().startBoardRename(board);
         }},
    };
    for (const auto &[name, enter] : states) {
        enter();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(unnamedControls(view.get()), QStringList()) << name;
    }
}

} // namespace
} // namespace tamo::testing
