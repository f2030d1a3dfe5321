#pragma once

#include <QWidget>

namespace tamo {

// The soft shadow around a rounded shape, drawn only outside it so a
// see-through surface above it stays clear. Lay it under the surface over the
// whole area the shadow may reach; it takes no clicks.
class OuterShadow final : public QWidget
{
    Q_OBJECT

public:
    explicit OuterShadow(qreal cornerRadius, QWidget *parent = nullptr);

    // The shape casting the shadow, in this widget's coordinates.
    void setShapeRect(const QRectF &rect);
    QRectF shapeRect() const { return m_shape; }
    qreal cornerRadius() const { return m_cornerRadius; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_cornerRadius;
    QRectF m_shape;
};

} // namespace tamo
