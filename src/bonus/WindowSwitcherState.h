#pragma once

#include "bonus/WindowSwitcherRow.h"

#include <QObject>

#include <optional>

namespace tamo {

// What the switcher shows: the window rows, the tab rows of one window, the
// two selections, which list has the keyboard and the measured column
// widths. The controller writes it, the views only read it. A scalar written
// with its current value notifies nothing; selections are not clamped, every
// reader checks the range.
class WindowSwitcherState : public QObject
{
    Q_OBJECT
public:
    enum class Pane { windows, tabs };

    using QObject::QObject;

    const QList<WindowSwitcherRow> &rows() const { return m_rows; }
    void setRows(const QList<WindowSwitcherRow> &rows);
    int selection() const { return m_selection; }
    void setSelection(int selection);
    const QList<WindowSwitcherRow> &tabs() const { return m_tabs; }
    const std::optional<QString> &tabsOwnerID() const { return m_tabsOwnerID; }
    int tabSelection() const { return m_tabSelection; }
    void setTabSelection(int selection);
    Pane pane() const { return m_pane; }
    void setPane(Pane pane);
    qreal appNameColumnWidth() const { return m_appNameColumnWidth; }
    qreal titleColumnWidth() const { return m_titleColumnWidth; }
    qreal tabColumnWidth() const { return m_tabColumnWidth; }
    void setColumnWidths(qreal appName, qreal title, qreal tabs);

    std::optional<WindowSwitcherRow> selectedRow() const;
    // The selected tab while the tab column has the keyboard, else the selected window.
    std::optional<WindowSwitcherRow> activeRow() const;
    std::optional<int> indexOfRow(const QString &id) const;

    // Shows the owner's tabs selecting the preferred one, else the browser's
    // current tab, else the first; an empty list changes nothing.
    void showTabs(const WindowSwitcherRow &owner, const QList<WindowSwitcherRow> &tabs,
                  const std::optional<QString> &preferredID);
    void closeTabs();
    // Moves the selection of the pane with the keyboard, wrapping at both ends.
    void moveSelection(int delta);

signals:
    void rowsChanged();
    void selectionChanged();
    void tabsChanged();
    void tabSelectionChanged();
    void paneChanged();
    void columnWidthsChanged();

private:
    QList<WindowSwitcherRow> m_rows;
    int m_selection = 0;
    QList<WindowSwitcherRow> m_tabs;
    std::optional<QString> m_tabsOwnerID;
    int m_tabSelection = 0;
    Pane m_pane = Pane::windows;
    qreal m_appNameColumnWidth = 120;
    qreal m_titleColumnWidth = 200;
    qreal m_tabColumnWidth = 0;
};

} // namespace tamo
