#include "menubar/TabKeyMonitor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tamo {

TabKeyMonitor::TabKeyMonitor(QWidget *window, Handler onTab, QObject *parent)
    : QObject(parent), m_window(window), m_onTab(std::move(onTab))
{
    // On the application, as focus handling runs inside the focused widget's own event().
    qApp->installEventFilter(this);
}

TabKeyMonitor::~TabKeyMonitor()
{
    qApp->removeEventFilter(this);
}

bool TabKeyMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_window || !m_onTab)
        return false;
    // Key presses also pass the QWindow; the widget alone is enough.
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window->window())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab)
        return false;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const bool forward = key->key() == Qt::Key_Tab && !key->modifiers().testFlag(Qt::ShiftModifier);
    return m_onTab(forward);
}

} // namespace tamo
