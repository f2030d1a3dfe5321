#include "menubar/SearchCapsule.h"

#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"

#include <QMouseEvent>
#include <QPainter>

namespace tamo {

namespace {

constexpr qreal ringWidth = 2;
constexpr qreal ringOpacity = 0.9;

} // namespace

SearchCapsule::SearchCapsule(QWidget *parent)
    : QWidget(parent)
{
}

void SearchCapsule::setFocusRingShown(bool shown)
{
    if (shown == m_ringShown)
        return;
    m_ringShown = shown;
    update();
}

void SearchCapsule::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintGlass(painter, capsule(rect()), GlassStyle::current());
    if (!m_ringShown)
        return;
    // Drawn inside the edge, so the ring never grows the capsule.
    const qreal inset = ringWidth / 2;
    QColor accent = palette().color(QPalette::Highlight);
    accent.setAlphaF(ringOpacity);
    painter.strokePath(capsule(QRectF(rect()).adjusted(inset, inset, -inset, -inset)), QPen(accent, ringWidth));
}

void SearchCapsule::mousePressEvent(QMouseEvent *event)
{
    emit pressed();
    event->accept();
}

} // namespace tamo
