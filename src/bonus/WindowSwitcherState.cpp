#include "bonus/WindowSwitcherState.h"

namespace tamo {

namespace {

template<typename T>
std::optional<T> at(const QList<T> &list, int index)
{
    return index >= 0 && index < list.size() ? std::optional(list[index]) : std::nullopt;
}

} // namespace

void WindowSwitcherState::setRows(const QList<WindowSwitcherRow> &rows)
{
    m_rows = rows;
    emit rowsChanged();
}

void WindowSwitcherState::setSelection(int selection)
{
    if (selection == m_selection)
        return;
    m_selection = selection;
    emit selectionChanged();
}

void WindowSwitcherState::setTabSelection(int selection)
{
    if (selection == m_tabSelection)
        return;
    m_tabSelection = selection;
    emit tabSelectionChanged();
}

void WindowSwitcherState::setPane(Pane pane)
{
    if (pane == m_pane)
        return;
    m_pane = pane;
    emit paneChanged();
}

void WindowSwitcherState::setColumnWidths(qreal appName, qreal title, qreal tabs)
{
    if (appName == m_appNameColumnWidth && title == m_titleColumnWidth && tabs == m_tabColumnWidth)
        return;
    m_appNameColumnWidth = appName;
    m_titleColumnWidth = title;
    m_tabColumnWidth = tabs;
    emit columnWidthsChanged();
}

std::optional<WindowSwitcherRow> WindowSwitcherState::selectedRow() const
{
    return at(m_rows, m_selection);
}

std::optional<WindowSwitcherRow> WindowSwitcherState::activeRow() const
{
    if (m_pane == Pane::tabs) {
        if (auto tab = at(m_tabs, m_tabSelection))
            return tab;
    }
    return selectedRow();
}

std::optional<int> WindowSwitcherState::indexOfRow(const QString &id) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].id == id)
            return i;
    }
    return std::nullopt;
}

void WindowSwitcherState::showTabs(const WindowSwitcherRow &owner, const QList<WindowSwitcherRow> &tabs,
                                   const std::optional<QString> &preferredID)
{
    if (tabs.isEmpty())
        return;
    m_tabsOwnerID = owner.windowRowID;
    m_tabs = tabs;
    emit tabsChanged();
    int chosen = -1;
    for (int i = 0; preferredID && chosen < 0 && i < tabs.size(); ++i) {
        if (tabs[i].id == *preferredID)
            chosen = i;
    }
    for (int i = 0; chosen < 0 && i < tabs.size(); ++i) {
        if (tabs[i].tab && tabs[i].tab->isSelected)
            chosen = i;
    }
    setTabSelection(std::max(chosen, 0));
}

void WindowSwitcherState::closeTabs()
{
    m_tabs.clear();
    m_tabsOwnerID.reset();
    emit tabsChanged();
    setPane(Pane::windows);
}

void WindowSwitcherState::moveSelection(int delta)
{
    const bool inTabs = m_pane == Pane::tabs;
    const qsizetype count = inTabs ? m_tabs.size() : m_rows.size();
    if (count == 0)
        return;
    const int index = inTabs ? m_tabSelection : m_selection;
    const int moved = int((index + delta + count) % count);
    inTabs ? setTabSelection(moved) : setSelection(moved);
}

} // namespace tamo
