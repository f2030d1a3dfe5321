#include "bonus/SwitcherPanel.h"

#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegion>

namespace tamo {

SwitcherPanel::SwitcherPanel(qreal cardInset, qreal cornerRadius)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
    , m_cardInset(cardInset)
    , m_cornerRadius(cornerRadius)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // A click outside is handed on below, on every platform, once.
    setAttribute(Qt::WA_NoMouseReplay);
    setWindowTitle(QStringLiteral("Window Switcher"));
    setAccessibleName(QStringLiteral("Window Switcher"));
}

void SwitcherPanel::keyPressEvent(QKeyEvent *event)
{
    if (onKey && onKey(*event))
        event->accept();
    else
        event->ignore();
}

void SwitcherPanel::mousePressEvent(QMouseEvent *event)
{
    const QPoint global = event->globalPosition().toPoint();
    const bool outside = !rect().contains(event->position().toPoint());
    QWidget::mousePressEvent(event); // a pop-up closes on a click outside
    if (!outside)
        return;
    // The pop-up held the pointer, so the click reached no one else.
    QWidget *under = QApplication::widgetAt(global);
    if (!under || under->window() == this)
        return;
    const QPointF local = under->mapFromGlobal(QPointF(global));
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? event->button() : Qt::NoButton;
        QCoreApplication::postEvent(under, new QMouseEvent(type, local, QPointF(global), event->button(), held,
                                                          event->modifiers()));
    }
}

void SwitcherPanel::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (onHidden)
        onHidden();
}

void SwitcherPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Without a compositor the transparent margin would show black: cut the
    // window to its card.
    if (translucencyAvailable()) {
        clearMask();
        return;
    }
    const QRectF card = QRectF(rect()).adjusted(m_cardInset, m_cardInset, -m_cardInset, -m_cardInset);
    setMask(QRegion(roundedRect(card, m_cornerRadius).toFillPolygon().toPolygon()));
}

} // namespace tamo
