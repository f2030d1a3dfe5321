#include "platform/QuitShortcut.h"

#include <QCoreApplication>
#include <QShortcut>
#include <QWidget>

#include <utility>

namespace tamo {

namespace {

std::function<void()> &quitAction()
{
    static std::function<void()> action;
    return action;
}

} // namespace

void setQuitAction(std::function<void()> quit)
{
    quitAction() = std::move(quit);
}

void addQuitShortcut(QWidget &window)
{
    // The keys the menu shows, whatever the platform theme binds to Quit.
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), &window);
    shortcut->setAutoRepeat(false);
    // Once the key's own handling is over: quitting closes the windows.
    QObject::connect(
        shortcut, &QShortcut::activated, qApp,
        [] {
            if (quitAction())
                quitAction()();
            else
                QCoreApplication::quit();
        },
        Qt::QueuedConnection);
}

} // namespace tamo
