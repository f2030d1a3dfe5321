#include "platform/KeyHintMenu.h"

#include "platform/KeyNames.h"

#include <QAction>
#include <QStyleOptionMenuItem>

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
