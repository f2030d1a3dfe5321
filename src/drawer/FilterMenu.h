#pragma once

#include "model/SearchFilter.h"

#include <QIcon>
#include <QList>
#include <QString>

#include <functional>

class QMenu;

namespace tamo {

// How a kind filter is named in menus and chips.
struct KindLabel
{
    QString title;
    QString symbol;
};

KindLabel kindLabel(ClipKind kind);

// The kinds a search can be narrowed to, in the order menus offer them.
const QList<ClipKind> &filterKinds();

// What a filter menu offers and what its items do. The filters live with the
// caller: the drawer keeps them in the app model, the menu-bar panel in its view.
struct FilterMenuSource
{
    QList<SearchFilter> active;
    QList<SearchFilter::App> apps;
    std::function<QIcon(const QString &bundleID)> appMenuIcon;
    std::function<void(const SearchFilter &)> toggle;
    std::function<void()> clearFilters;
};

// Replaces the menu's items: a "Type" section of kind toggles, an "App"
// section of app toggles and, while filters are active, "Clear Filters".
// Rebuild it before each showing, as the toggles' states are copied in.
void fillFilterMenu(QMenu &menu, const FilterMenuSource &source);

} // namespace tamo
