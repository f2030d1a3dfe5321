#include "platform/QuitShortcut.h"

#include <QCoreApplication>
#include <QShortcut>
#include <QWidget>

namespace tamo {

void addQuitShortcut(QWidget &window)
{
    auto *shortcut = new QShortcut(QKeySequence::Quit, &window);
    shortcut->setAutoRepeat(false);
    // Once the key's own handling is over: quitting closes the windows.
    QObject::connect(shortcut, &QShortcut::activated, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

} // namespace tamo
