#pragma once

#include <QGraphicsEffect>

namespace tamo {

// Draws its widget's picture faded, blurred and moved into another rectangle
// (in the widget's coordinates), for the bar's search transition: the tabs
// shrink and blur away while the pill grows out of the search button. As
// it is while no look is set.
class PictureEffect : public QGraphicsEffect
{
    Q_OBJECT

public:
    explicit PictureEffect(QObject *parent = nullptr);

    void setLook(qreal opacity, const QRectF &into, qreal blurRadius);
    void clearLook();
    bool hasLook() const { return m_hasLook; }
    qreal opacity() const { return m_opacity; }
    QRectF into() const { return m_into; }
    qreal blurRadius() const { return m_blur; }

    QRectF boundingRectFor(const QRectF &sourceRect) const override;

protected:
    void draw(QPainter *painter) override;

private:
    bool m_hasLook = false;
    qreal m_opacity = 1;
    QRectF m_into;
    qreal m_blur = 0;
};

} // namespace tamo
