#include "drawer/CardGhost.h"

#include "cards/Motion.h"

#include <QPainter>

#include <algorithm>

namespace tamo {

CardGhost::CardGhost(const QPixmap &picture, const QPoint &at, const SpringAnimation &fade, int durationMs,
                     QWidget *parent)
    : QWidget(parent)
    , m_picture(picture)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(QRect(at, picture.deviceIndependentSize().toSize()));
    m_fade.setStartValue(0.0);
    m_fade.setEndValue(1.0);
    m_fade.setDuration(durationMs);
    m_fade.setEasingCurve(fade.curve);
    connect(&m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &progress) {
        m_opacity = std::clamp(1 - progress.toReal(), 0.0, 1.0);
        update();
    });
    connect(&m_fade, &QVariantAnimation::finished, this, &QObject::deleteLater);
    show();
    raise();
    m_fade.start();
}

void CardGhost::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(m_opacity);
    painter.drawPixmap(0, 0, m_picture);
}

} // namespace tamo
