#pragma once

#include <QPixmap>
#include <QVariantAnimation>
#include <QWidget>

namespace tamo {

struct SpringAnimation;

// The picture of a card that has left the strip, fading out where it stood;
// it deletes itself once gone. Clicks pass through it.
class CardGhost : public QWidget
{
    Q_OBJECT

public:
    CardGhost(const QPixmap &picture, const QPoint &at, const SpringAnimation &fade, int durationMs, QWidget *parent);

    qreal opacity() const { return m_opacity; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    QVariantAnimation m_fade;
    qreal m_opacity = 1;
};

} // namespace tamo
