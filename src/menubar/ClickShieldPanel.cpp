#include "menubar/ClickShieldPanel.h"

#include <QMouseEvent>

namespace tamo {

ClickShieldPanel::ClickShieldPanel()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                           | Qt::X11BypassWindowManagerHint)
{
    // Fully see-through where a compositor runs; it paints nothing either way.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_NoSystemBackground);
}

void ClickShieldPanel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void ClickShieldPanel::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void ClickShieldPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace tamo
