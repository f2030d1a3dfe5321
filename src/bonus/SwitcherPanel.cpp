#include "bonus/SwitcherPanel.h"

#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"

#include <QKeyEvent>
#include <QRegion>

namespace tamo {

SwitcherPanel::SwitcherPanel(qreal cardInset, qreal cornerRadius)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
    , m_cardInset(cardInset)
    , m_cornerRadius(cornerRadius)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
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
