#pragma once

#include "cards/CardContext.h"
#include "menubar/MenuBarViewState.h"

#include <QWidget>

#include <functional>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;

namespace tamo {

class AfterNextFrame;
class EmptyStripView;
class MenuBarCardGrid;
class MenuBarClipsState;
class OuterShadow;
class SearchCapsule;

// The menu-bar panel's content: the search capsule, the title row, the card
// grid with its empty state, and the bottom bar.
class MenuBarClipsView : public QWidget
{
    Q_OBJECT

public:
    // What the hosting controller does on the view's behalf.
    struct Actions
    {
        std::function<void()> close;
        std::function<void()> openTamo;
        std::function<void()> showMenu;
        std::function<void(const QList<ClipItemPtr> &)> pasteByClick;
    };

    MenuBarClipsView(AppModel &model, const CardContext &cards, MenuBarClipsState &counters, Actions actions,
                     QWidget *parent = nullptr);

    MenuBarViewState &viewState() { return m_state; }
    QLineEdit *searchField() const { return m_search; }
    MenuBarCardGrid *grid() const { return m_grid; }
    QLabel *titleLabel() const { return m_title; }
    EmptyStripView *emptyView() const { return m_empty; }
    QToolButton *drawerButton() const { return m_drawerButton; }
    // The shortcut beside the drawer button's name; empty when it opens the panel.
    QLabel *drawerShortcut() const { return m_drawerShortcut; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *buildSearchCapsule();
    QWidget *buildBottomBar();
    QToolButton *buildDrawerButton(QWidget *bar);
    void showFilterMenu();
    void syncSearch();
    void syncEmptyState();
    void syncCapsuleChips();
    void syncDrawerButton();
    void rebuildScopeChips();
    QWidget *makeNameField(const PinboardPtr &board);
    void applyFocus(MenuBarViewState::Focus focus);

    AppModel &m_model;
    Actions m_actions;
    OuterShadow *m_shadow = nullptr;
    MenuBarViewState m_state;
    AfterNextFrame *m_restOfList = nullptr;
    SearchCapsule *m_capsule = nullptr;
    QHBoxLayout *m_capsuleRow = nullptr;
    QList<QWidget *> m_capsuleChips;
    QLineEdit *m_search = nullptr;
    QToolButton *m_clear = nullptr;
    QToolButton *m_filterButton = nullptr;
    QWidget *m_chipsBox = nullptr;
    QScrollArea *m_chipsScroll = nullptr;
    QWidget *m_chipsRow = nullptr;
    QUuid m_chipsScope; // the scope whose chip the row last showed
    QLabel *m_title = nullptr;
    MenuBarCardGrid *m_grid = nullptr;
    EmptyStripView *m_empty = nullptr;
    QToolButton *m_drawerButton = nullptr;
    QLabel *m_drawerShortcut = nullptr;
    Defaults &m_defaults;
};

} // namespace tamo
