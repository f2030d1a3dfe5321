#include "menubar/HorizontalWheelScrolling.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace tamo {

namespace {

constexpr qreal pointsPerLine = 12;
constexpr qreal angleUnitsPerLine = 120; // one wheel notch

} // namespace

HorizontalWheelScrolling::HorizontalWheelScrolling(QAbstractScrollArea *row)
    : QObject(row), m_row(row)
{
    row->viewport()->installEventFilter(this);
}

bool HorizontalWheelScrolling::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || !m_row || watched != m_row->viewport())
        return false;
    auto *wheel = static_cast<QWheelEvent *>(event);
    const bool precise = !wheel->pixelDelta().isNull();
    const QPointF delta = precise ? QPointF(wheel->pixelDelta()) : QPointF(wheel->angleDelta()) / angleUnitsPerLine;
    if (!(std::abs(delta.x()) < std::abs(delta.y())))
        return false;

    // Turning the wheel away from the user moves towards the start.
    const qreal step = precise ? delta.y() : delta.y() * pointsPerLine;
    QScrollBar *bar = m_row->horizontalScrollBar();
    const int offset = qBound(0, qRound(bar->value() - step), std::max(bar->maximum(), 0));
    bar->setValue(offset);
    wheel->accept(); // an ignored wheel event would go on to the parents
    return true; // consumed even at either end, so the panel never scrolls instead
}

} // namespace tamo
