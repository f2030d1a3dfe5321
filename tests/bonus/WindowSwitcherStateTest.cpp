#include "bonus/WindowSwitcherState.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

QList<WindowSwitcherRow> rows(int count)
{
    QList<WindowSwitcherRow> list;
    for (int i = 0; i < count; ++i) {
        WindowSwitcherRow row;
        row.app.pid = 1;
        row.windowNumber = quint32(i);
        row.id = row.windowRowID = windowKey(1, quint32(i));
        list.append(row);
    }
    return list;
}

QList<WindowSwitcherRow> tabs(int count, int selected)
{
    WindowSwitcherRow owner = rows(1).first();
    QList<WindowSwitcherRow> list;
    for (int i = 0; i < count; ++i) {
        BrowserTab tab;
        tab.isSelected = i == selected;
        list.append(owner.tabRow(tab, i));
    }
    return list;
}

TEST(WindowSwitcherStateTest, MoveSelectionWrapsWithinThePane)
{
    struct Case
    {
        int count, from, delta, to;
    };
    for (const Case c : {Case{5, 4, +1, 0}, {5, 0, -1, 4}, {3, 7, +1, 2}, {3, 1, +1, 2}}) {
        WindowSwitcherState state;
        state.setRows(rows(c.count));
        state.setSelection(c.from);
        state.moveSelection(c.delta);
        EXPECT_EQ(state.selection(), c.to) << c.count << " rows from " << c.from;
    }

    WindowSwitcherState state;
    QSignalSpy changes(&state, &WindowSwitcherState::selectionChanged);
    state.moveSelection(1);
    state.setRows(rows(1));
    state.moveSelection(1);
    EXPECT_EQ(changes.count(), 0) << "an empty list or a single row writes nothing";

    state.setRows(rows(2));
    state.showTabs(state.rows().first(), tabs(3, 2), std::nullopt);
    state.setPane(WindowSwitcherState::Pane::tabs);
    state.moveSelection(1);
    EXPECT_EQ(state.tabSelection(), 0);
    EXPECT_EQ(state.selection(), 0);
}

TEST(WindowSwitcherStateTest, ActiveRowIsTheTabOnlyWhileTheTabsHaveTheKeyboard)
{
    WindowSwitcherState state;
    state.setRows(rows(2));
    state.setSelection(1);
    state.showTabs(state.rows().first(), tabs(2, 0), std::nullopt);
    EXPECT_EQ(state.activeRow()->id, QStringLiteral("1-1"));
    state.setPane(WindowSwitcherState::Pane::tabs);
    EXPECT_EQ(state.activeRow()->id, QStringLiteral("1-0-tab0"));
    state.setTabSelection(5);
    EXPECT_EQ(state.activeRow()->id, QStringLiteral("1-1")) << "out of range falls back";
    state.setSelection(9);
    EXPECT_FALSE(state.activeRow());
    EXPECT_FALSE(state.selectedRow());
}

TEST(WindowSwitcherStateTest, ShowTabsPrefersTheGivenTabThenTheCurrentOneThenTheFirst)
{
    WindowSwitcherState state;
    state.setRows(rows(2));
    state.showTabs(state.rows().first(), tabs(3, 1), QStringLiteral("1-0-tab2"));
    EXPECT_EQ(state.tabSelection(), 2);
    state.showTabs(state.rows().first(), tabs(3, 1), QStringLiteral("gone"));
    EXPECT_EQ(state.tabSelection(), 1);
    state.showTabs(state.rows().first(), tabs(3, -1), std::nullopt);
    EXPECT_EQ(state.tabSelection(), 0);
    EXPECT_EQ(state.tabsOwnerID(), QStringLiteral("1-0"));

    state.showTabs(state.rows().last(), {}, std::nullopt);
    EXPECT_EQ(state.tabsOwnerID(), QStringLiteral("1-0")) << "an empty list leaves the open column";
    EXPECT_EQ(state.tabs().size(), 3);
}

TEST(WindowSwitcherStateTest, CloseTabsAlwaysNotifiesAndKeepsTheTabSelection)
{
    WindowSwitcherState state;
    QSignalSpy tabsChanges(&state, &WindowSwitcherState::tabsChanged);
    QSignalSpy paneChanges(&state, &WindowSwitcherState::paneChanged);
    state.closeTabs();
    EXPECT_EQ(tabsChanges.count(), 1);
    EXPECT_EQ(paneChanges.count(), 0);

    state.setRows(rows(1));
    state.showTabs(state.rows().first(), tabs(3, 2), std::nullopt);
    state.setPane(WindowSwitcherState::Pane::tabs);
    state.closeTabs();
    EXPECT_TRUE(state.tabs().isEmpty());
    EXPECT_FALSE(state.tabsOwnerID());
    EXPECT_EQ(state.pane(), WindowSwitcherState::Pane::windows);
    EXPECT_EQ(state.tabSelection(), 2);
}

} // namespace
