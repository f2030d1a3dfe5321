#include "drawer/PinboardMenu.h"

#include "app/AppModel.h"
#include "drawer/ClipCardMenu.h"
#include "drawer/ColorDotImage.h"
#include "model/PinboardPalette.h"
#include "platform/Symbols.h"

#include <QActionGroup>
#include <QMenu>

namespace tamo {

QMenu *PinboardMenu::make(AppModel &model, const PinboardPtr &board, QWidget *parent) const
{
    auto *menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(symbolIcon(QStringLiteral("pencil")), QStringLiteral("Rename"), menu, rename);

    QMenu *colors = menu->addMenu(QStringLiteral("Color"));
    auto *group = new QActionGroup(colors);
    const QList<PaletteEntry> &palette = pinboardPalette();
    for (int index = 0; index < palette.size(); ++index) {
        QAction *action = colors->addAction(checkableColorDot(palette[index].color, parent->devicePixelRatioF()),
                                            palette[index].name);
        action->setCheckable(true);
        action->setChecked(index == board->colorIndex()); // none for an index past the palette
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, menu, [&model, board, index, recoloured = recoloured] {
            model.setPinboardColor(index, *board);
            if (recoloured)
                recoloured();
        });
    }

    menu->addSeparator();
    menu->addAction(ClipCardMenu::redTrashImage(), QStringLiteral("Delete Pinboard"), menu, remove);
    return menu;
}

} // namespace tamo
