#include "platform/TrayStatusItem.h"

#include "platform/Screens.h"

#include <QGuiApplication>

namespace tamo {

TrayStatusItem::TrayStatusItem(const Screens &screens, QObject *parent)
    : StatusItem(parent)
    , m_screens(screens)
{
    connect(&m_tray, &QSystemTrayIcon::activated, this, &TrayStatusItem::onActivated);
}

bool TrayStatusItem::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayStatusItem::setIcon(const QIcon &icon)
{
    m_tray.setIcon(icon);
}

void TrayStatusItem::setToolTip(const QString &text)
{
    m_tray.setToolTip(text);
}

void TrayStatusItem::setMenu(QMenu *menu)
{
    m_tray.setContextMenu(menu);
}

void TrayStatusItem::setVisible(bool visible)
{
    m_tray.setVisible(visible);
}

bool TrayStatusItem::isVisible() const
{
    return m_tray.isVisible();
}

QRectF TrayStatusItem::anchor() const
{
    const QRect icon = m_tray.geometry();
    if (!icon.isEmpty())
        return m_screens.geometry().fromQt(QRectF(icon));
    return QRectF(m_lastClick.value_or(m_screens.pointerLocation()), QSizeF(0, 0));
}

void TrayStatusItem::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::Context)
        return;
    m_lastClick = m_screens.pointerLocation();
    if (reason == QSystemTrayIcon::Trigger)
        emit clicked(QGuiApplication::queryKeyboardModifiers());
}

} // namespace tamo
