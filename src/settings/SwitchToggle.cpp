#include "settings/SwitchToggle.h"

#include <QPainter>
#include <QVariantAnimation>

namespace tamo {

namespace {

constexpr QSize switchSize(38, 22);
constexpr int knobInset = 2;

} // namespace

SwitchToggle::SwitchToggle(QWidget *parent)
    : QAbstractButton(parent)
    , m_knob(new QVariantAnimation(this))
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_knob->setDuration(120);
    m_knob->setEasingCurve(QEasingCurve::OutCubic);
    m_knob->setStartValue(0.0);
    m_knob->setEndValue(0.0);
    connect(m_knob, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        m_knob->stop();
        m_knob->setStartValue(m_knob->currentValue());
        m_knob->setEndValue(on ? 1.0 : 0.0);
        if (isVisible())
            m_knob->start();
        else
            m_knob->setCurrentTime(m_knob->duration());
        update();
    });
}

QSize SwitchToggle::sizeHint() const
{
    return switchSize;
}

bool SwitchToggle::hitButton(const QPoint &position) const
{
    return rect().contains(position);
}

void SwitchToggle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal on = m_knob->state() == QAbstractAnimation::Running ? m_knob->currentValue().toReal()
                                                                    : (isChecked() ? 1.0 : 0.0);
    const QRectF track = QRectF(QPointF(0, 0), QSizeF(switchSize)).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor offColour = palette().color(QPalette::WindowText);
    offColour.setAlphaF(0.18);
    const QColor onColour = palette().color(QPalette::Highlight);
    QColor fill = QColor::fromRgbF(offColour.redF() + (onColour.redF() - offColour.redF()) * on,
                                   offColour.greenF() + (onColour.greenF() - offColour.greenF()) * on,
                                   offColour.blueF() + (onColour.blueF() - offColour.blueF()) * on,
                                   offColour.alphaF() + (1.0 - offColour.alphaF()) * on);
    if (!isEnabled())
        fill.setAlphaF(fill.alphaF() * 0.45);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);

    const qreal knobSide = track.height() - 2 * knobInset;
    const qreal travel = track.width() - 2 * knobInset - knobSide;
    const QRectF knob(track.left() + knobInset + travel * on, track.top() + knobInset, knobSide, knobSide);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(knob.translated(0, 0.6));
    painter.setBrush(isEnabled() ? QColor(Qt::white) : QColor(245, 245, 245));
    painter.drawEllipse(knob);

    if (hasFocus()) {
        QColor ring = palette().color(QPalette::Highlight);
        ring.setAlphaF(0.5);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track.adjusted(-1, -1, 1, 1), track.height() / 2 + 1, track.height() / 2 + 1);
    }
}

} // namespace tamo
