#include "settings/Spinner.h"

#include <QPainter>
#include <QVariantAnimation>

namespace tamo {

Spinner::Spinner(int side, QWidget *parent)
    : QWidget(parent)
    , m_side(side)
    , m_turn(new QVariantAnimation(this))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("In progress"));
    m_turn->setStartValue(0.0);
    m_turn->setEndValue(360.0);
    m_turn->setDuration(900);
    m_turn->setLoopCount(-1);
    connect(m_turn, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
}

QSize Spinner::sizeHint() const
{
    return {m_side, m_side};
}

void Spinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal pen = qMax(1.5, m_side / 8.0);
    const QRectF ring = QRectF(0, 0, m_side, m_side).adjusted(pen, pen, -pen, -pen);
    QColor faint = palette().color(QPalette::WindowText);
    faint.setAlphaF(0.15);
    painter.setPen(QPen(faint, pen));
    painter.drawEllipse(ring);
    QColor strong = palette().color(QPalette::WindowText);
    strong.setAlphaF(0.6);
    painter.setPen(QPen(strong, pen, Qt::SolidLine, Qt::RoundCap));
    const int start = int(-m_turn->currentValue().toReal() * 16);
    painter.drawArc(ring, start, 100 * 16);
}

void Spinner::showEvent(QShowEvent *)
{
    m_turn->start();
}

void Spinner::hideEvent(QHideEvent *)
{
    m_turn->stop();
}

} // namespace tamo
