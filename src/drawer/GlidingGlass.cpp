#include "drawer/GlidingGlass.h"

#include "cards/GlassRim.h"
#include "cards/Motion.h"
#include "drawer/PinboardTabLabel.h"

#include <QPainter>

#include <algorithm>

namespace tamo {

GlidingGlass::GlidingGlass(TimeScale timeScale, QWidget *row)
    : QWidget(row)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    const SpringAnimation barSpring = spring(0.45, 0.8);
    m_motion.setStartValue(0.0);
    m_motion.setEndValue(1.0);
    m_motion.setDuration(timeScale(barSpring.durationMs));
    m_motion.setEasingCurve(barSpring.curve);
    connect(&m_motion, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    connect(&m_motion, &QVariantAnimation::finished, this, &GlidingGlass::arrive);
}

void GlidingGlass::glide(PinboardTabLabel *from, PinboardTabLabel *to)
{
    if (m_to && m_to != to)
        m_to->setGlassHidden(false);
    m_fromRect = placeOf(from);
    m_fromFill = SelectedGlass{true, from->glass().tint}.fill();
    m_to = to;
    to->setGlassHidden(true);
    setGeometry(parentWidget()->rect());
    show();
    lower();
    m_motion.stop();
    m_motion.start();
}

QRectF GlidingGlass::placeOf(const PinboardTabLabel *label) const
{
    return {QPointF(label->mapTo(parentWidget(), QPoint(0, 0))), QSizeF(label->size())};
}

void GlidingGlass::arrive()
{
    hide();
    if (m_to)
        m_to->setGlassHidden(false);
    m_to = nullptr;
}

void GlidingGlass::paintEvent(QPaintEvent *)
{
    if (!m_to)
        return;
    const qreal t = m_motion.currentValue().toReal();
    const QRectF to = placeOf(m_to);
    const auto mix = [t](qreal a, qreal b) { return a + (b - a) * t; };
    const QRectF rect(QPointF(mix(m_fromRect.left(), to.left()), mix(m_fromRect.top(), to.top())),
                      QPointF(mix(m_fromRect.right(), to.right()), mix(m_fromRect.bottom(), to.bottom())));
    const QColor toFill = m_to->glass().fill();
    const qreal c = std::clamp(t, 0.0, 1.0);
    const QColor fill = QColor::fromRgbF(m_fromFill.redF() + (toFill.redF() - m_fromFill.redF()) * c,
                                         m_fromFill.greenF() + (toFill.greenF() - m_fromFill.greenF()) * c,
                                         m_fromFill.blueF() + (toFill.blueF() - m_fromFill.blueF()) * c,
                                         m_fromFill.alphaF() + (toFill.alphaF() - m_fromFill.alphaF()) * c);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsule(rect), fill);
}

} // namespace tamo
