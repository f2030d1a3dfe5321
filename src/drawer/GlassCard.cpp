#include "drawer/GlassCard.h"

#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"

#include <QPainter>

namespace tamo {

GlassCard::GlassCard(qreal cornerRadius, QWidget *parent)
    : QWidget(parent)
    , m_cornerRadius(cornerRadius)
{
}

void GlassCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintGlass(painter, roundedRect(rect(), m_cornerRadius), GlassStyle::current());
}

} // namespace tamo
