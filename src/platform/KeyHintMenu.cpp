#include "platform/KeyHintMenu.h"

#include "platform/KeyNames.h"

#include <QAction>
#include <QKeyEvent>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace tamo {

namespace {

constexpr const char *shownKeysProperty = "tamoShownKeys";

} // namespace

void KeyHintMenu::setKeys(QAction *row, const QString &glyphShortcut)
{
    const QString keys = keyNames(glyphShortcut);
    row->setProperty(shownKeysProperty, keys);
    // Qt's own name for the Super key, so the sequence parses.
    QString portable = keys;
    row->setShortcut(QKeySequence(portable.replace(QStringLiteral("Super"), QStringLiteral("Meta")),
                                  QKeySequence::PortableText));
}

QString KeyHintMenu::shownKeys(const QAction *row)
{
    return row->property(shownKeysProperty).toString();
}

void KeyHintMenu::keyPressEvent(QKeyEvent *event)
{
    // Qt matches the keys of a menu's rows only for a menu in a window's menu
    // bar, never for one that pops up on its own, as the tray's does.
    const QKeySequence pressed(event->keyCombination().key() | (event->modifiers() & ~Qt::KeypadModifier));
    const QList<QMenu *> chain = openChain();
    for (QMenu *menu : chain) {
        const QList<QAction *> rows = menu->actions();
        const auto row = std::find_if(rows.cbegin(), rows.cend(), [&](const QAction *action) {
            return action->isVisible() && action->isEnabled() && !action->menu() && !action->shortcut().isEmpty()
                && action->shortcut() == pressed;
        });
        if (row == rows.cend())
            continue;
        // Closed first, as after a click on the row.
        for (QMenu *open : chain)
            open->hide();
        (*row)->trigger();
        return;
    }
    QMenu::keyPressEvent(event);
}

QList<QMenu *> KeyHintMenu::openChain()
{
    QList<QMenu *> chain{this};
    for (auto *parent = qobject_cast<QMenu *>(parentWidget()); parent && parent->isVisible();
         parent = qobject_cast<QMenu *>(parent->parentWidget()))
        chain.append(parent);
    return chain;
}

void KeyHintMenu::initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const
{
    QMenu::initStyleOption(option, action);
    const QString keys = shownKeys(action);
    if (keys.isEmpty())
        return;
    const qsizetype tab = option->text.indexOf(QLatin1Char('\t'));
    option->text = (tab < 0 ? option->text : option->text.left(tab)) + QLatin1Char('\t') + keys;
}

} // namespace tamo
