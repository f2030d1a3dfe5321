#pragma once

#include "model/SearchFilter.h"

#include <QList>
#include <QVariantAnimation>
#include <QWidget>

class QHBoxLayout;
class QMenu;
class QToolButton;

namespace tamo {

class AppModel;
class FilterChip;
class SearchQueryView;

// The drawer's search while it is active: a glass capsule showing the search
// text with a blinking caret, the active filters as removable chips, a clear
// button and a menu of kind and app filters. It only displays the app model's
// search; the drawer's key handling edits it.
//
// Its owner places it 38 high and 460 to 620 wide, and hides or destroys it
// when the search ends. Each showing starts the caret visible and reads the
// apps the filter menu offers afresh.
class SearchPill : public QWidget
{
    Q_OBJECT

public:
    static constexpr int minimumWidth = 460;
    static constexpr int maximumWidth = 620;
    static constexpr int fixedHeight = 38;
    static constexpr int offeredApps = 15;

    explicit SearchPill(AppModel &model, QWidget *parent = nullptr);

    QSize sizeHint() const override;

    const QList<FilterChip *> &chips() const { return m_chips; }
    const SearchQueryView &queryView() const { return *m_query; }
    QToolButton &clearButton() const { return *m_clear; }
    QToolButton &filterButton() const { return *m_filter; }
    QMenu &filterMenu() const { return *m_menu; }
    const QList<SearchFilter::App> &apps() const { return m_apps; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showFilters();
    void showQuery();
    void fillFilterMenu();
    FilterChip *makeChip(const SearchFilter &filter);

    AppModel &m_model;
    QHBoxLayout *m_row;
    QList<FilterChip *> m_chips;
    SearchQueryView *m_query;
    QToolButton *m_clear;
    QToolButton *m_filter;
    QMenu *m_menu;
    QList<SearchFilter::App> m_apps;
    QVariantAnimation m_blink;
};

} // namespace tamo
