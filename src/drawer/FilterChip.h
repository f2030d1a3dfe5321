#pragma once

#include "model/SearchFilter.h"

#include <QAbstractButton>
#include <QPixmap>

namespace tamo {

class AppIcons;

// The sizes of a filter chip; the drawer and the menu-bar panel draw the same
// chip at their own scale.
struct FilterChipMetrics
{
    double fontPoints;
    int height;
    int leadingPadding;
    int trailingPadding;
    int spacing;
    int appIconSide;
    double symbolPoints;

    static const FilterChipMetrics drawer;
    static const FilterChipMetrics menuBar;
};

// An active search filter shown as a capsule with its icon and title. A click
// asks for the filter to be removed; the owner removes it wherever it lives.
class FilterChip : public QAbstractButton
{
    Q_OBJECT

public:
    FilterChip(const SearchFilter &filter, AppIcons &icons, const FilterChipMetrics &metrics,
               QWidget *parent = nullptr);

    const SearchFilter &filter() const { return m_filter; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int iconWidth() const;

    SearchFilter m_filter;
    FilterChipMetrics m_metrics;
    QPixmap m_icon;
};

} // namespace tamo
