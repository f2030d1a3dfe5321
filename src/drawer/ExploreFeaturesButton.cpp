#include "drawer/ExploreFeaturesButton.h"

#include "cards/GlassRim.h"
#include "cards/ViewStyles.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tamo {

namespace {

struct Look
{
    int frame;
    int disc;
    int symbol;
};

constexpr Look glassLook{22, 22, 13};
constexpr Look circleLook{30, 24, 12};

} // namespace

ExploreFeaturesButton::ExploreFeaturesButton(bool glass, QWidget *parent)
    : QAbstractButton(parent)
    , m_glass(glass)
{
    const Look &look = glass ? glassLook : circleLook;
    setFixedSize(look.frame, look.frame);
    setToolTip(QStringLiteral("Explore Features"));
    setAccessibleName(QStringLiteral("Explore Features"));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

QColor ExploreFeaturesButton::accentColor()
{
    return QColor::fromRgbF(0.85f, 0.35f, 0.19f);
}

QRectF ExploreFeaturesButton::disc() const
{
    const qreal side = (m_glass ? glassLook : circleLook).disc;
    return QRectF((width() - side) / 2, (height() - side) / 2, side, side);
}

bool ExploreFeaturesButton::hitButton(const QPoint &position) const
{
    // The circle look answers on its whole round frame, the glass one on its disc.
    const QRectF area = m_glass ? disc() : QRectF(rect());
    QPainterPath round;
    round.addEllipse(area);
    return round.contains(position);
}

void ExploreFeaturesButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = disc();
    QColor fill = accentColor();
    if (isDown())
        fill = fill.darker(115);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(area);
    if (m_glass) {
        // A soft sheen over the upper half and a rim, as on the other glass controls.
        QLinearGradient sheen(area.topLeft(), area.bottomLeft());
        sheen.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.35f));
        sheen.setColorAt(0.5, QColor::fromRgbF(1, 1, 1, 0));
        painter.setBrush(sheen);
        painter.drawEllipse(area);
        QPainterPath round;
        round.addEllipse(area.adjusted(0.5, 0.5, -0.5, -0.5));
        GlassRim{round}.paint(painter);
    }
    const int side = (m_glass ? glassLook : circleLook).symbol;
    const QPixmap bulb = tintedSymbol(QStringLiteral("lightbulb.fill"), side, Qt::white, devicePixelRatioF());
    const QSizeF size = bulb.deviceIndependentSize();
    painter.drawPixmap(QPointF(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2), bulb);
}

} // namespace tamo
