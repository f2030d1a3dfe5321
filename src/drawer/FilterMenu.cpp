#include "drawer/FilterMenu.h"

#include "cards/ViewStyles.h"
#include "platform/Symbols.h"

#include <QMenu>

namespace tamo {

namespace {

QString kindSymbol(ClipKind kind)
{
    switch (kind) {
    case ClipKind::text:
        return QStringLiteral("text.alignleft");
    case ClipKind::link:
        return QStringLiteral("link");
    case ClipKind::image:
        return QStringLiteral("photo");
    case ClipKind::file:
        return QStringLiteral("doc");
    case ClipKind::color:
        return QStringLiteral("paintpalette");
    }
    Q_UNREACHABLE();
    return {};
}

void addToggle(QMenu &menu, const QIcon &icon, const QString &title, const SearchFilter &filter,
               const FilterMenuSource &source)
{
    QAction *action = menu.addAction(checkableIcon(icon), literalLabel(title));
    action->setCheckable(true);
    action->setChecked(source.active.contains(filter));
    QObject::connect(action, &QAction::triggered, &menu, [toggle = source.toggle, filter] { toggle(filter); });
}

} // namespace

KindLabel kindLabel(ClipKind kind)
{
    return {displayName(kind), kindSymbol(kind)};
}

const QList<ClipKind> &filterKinds()
{
    static const QList<ClipKind> kinds{ClipKind::text, ClipKind::link, ClipKind::image, ClipKind::file,
                                       ClipKind::color};
    return kinds;
}

void fillFilterMenu(QMenu &menu, const FilterMenuSource &source)
{
    menu.clear();

    menu.addSection(QStringLiteral("Type"));
    for (ClipKind kind : filterKinds()) {
        const KindLabel label = kindLabel(kind);
        addToggle(menu, symbolIcon(label.symbol), label.title, SearchFilter::kind(kind), source);
    }

    menu.addSection(QStringLiteral("App"));
    for (const SearchFilter::App &app : source.apps)
        addToggle(menu, source.appMenuIcon(app.bundleID), app.name, SearchFilter::app(app.bundleID, app.name), source);

    if (!source.active.isEmpty()) {
        menu.addSeparator();
        QObject::connect(menu.addAction(QStringLiteral("Clear Filters")), &QAction::triggered, &menu,
                         source.clearFilters);
    }
}

} // namespace tamo
