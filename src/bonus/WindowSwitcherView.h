#pragma once

#include "bonus/WindowSwitcherRows.h"

#include <QListView>
#include <QWidget>

#include <functional>

class QLabel;
class QPropertyAnimation;
class QVariantAnimation;

namespace tamo {

class WindowSwitcherState;

// The switcher's glass card: the window list and, while one window's tabs
// are open, a column with those tabs. It draws the state and reports clicks;
// it never writes the state.
class WindowSwitcherView : public QWidget
{
    Q_OBJECT
public:
    static constexpr qreal outerPadding = 24;
    static constexpr qreal innerPadding = 14;
    // The line before the tab column.
    static constexpr int dividerWidth = 1;

    struct Callbacks
    {
        std::function<void(int)> pick;
        std::function<void(int)> toggleTabs;
        std::function<void(int)> pickTab;
    };

    WindowSwitcherView(WindowSwitcherState &state, Callbacks callbacks, TabRowDelegate::FaviconLookup favicons,
                       qreal cornerRadius, QWidget *parent = nullptr);

    QListView *windowList() const { return m_windows; }
    QListView *tabList() const { return m_tabs; }
    // More than 8 points of rows hidden below the visible part of the window list.
    bool moreBelow() const { return m_moreBelow; }

    // Redraws the tab rows, when a site icon arrived.
    void refreshTabIcons();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QListView *makeList(SwitcherRowsModel *model, QStyledItemDelegate *delegate, const QString &name);
    void rowsChanged();
    void tabsChanged();
    void scrollToSelection();
    void scrollToTabSelection();
    void updateMoreBelow();
    void placeChevron();

    WindowSwitcherState &m_state;
    qreal m_cornerRadius;
    SwitcherRowsModel m_windowRows;
    SwitcherRowsModel m_tabRows;
    QListView *m_windows;
    QWidget *m_divider;
    QListView *m_tabs;
    QLabel *m_chevron;
    QPropertyAnimation *m_chevronFade;
    QVariantAnimation *m_scroll;
    bool m_moreBelow = false;
};

} // namespace tamo
