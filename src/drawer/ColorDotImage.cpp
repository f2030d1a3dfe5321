#include "drawer/ColorDotImage.h"

#include "cards/ViewStyles.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <optional>

namespace tamo {

namespace {

constexpr int dotSide = 12;
constexpr qreal dotInset = 1;
// A menu's icon square: the dot in the middle, room for the ring around it.
constexpr int choiceSide = 16;
constexpr qreal ringWidth = 1.5;

} // namespace

QPixmap colorDotImage(const QColor &color, qreal devicePixelRatio)
{
    return discImage(color, dotSide, dotInset, devicePixelRatio);
}

QIcon checkableColorDot(const QColor &color, qreal devicePixelRatio)
{
    const auto choice = [&](const std::optional<QColor> &ring) {
        QPixmap pixmap(QSize(choiceSide, choiceSide) * devicePixelRatio);
        pixmap.setDevicePixelRatio(devicePixelRatio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal offset = (choiceSide - dotSide) / 2.0;
        painter.drawPixmap(QPointF(offset, offset), colorDotImage(color, devicePixelRatio));
        if (ring) {
            painter.setPen(QPen(*ring, ringWidth));
            painter.setBrush(Qt::NoBrush);
            const qreal inset = ringWidth / 2;
            painter.drawEllipse(QRectF(0, 0, choiceSide, choiceSide).adjusted(inset, inset, -inset, -inset));
        }
        return pixmap;
    };
    // On the highlighted row (the active one) the ring takes the row's text colour.
    const QPalette palette = QGuiApplication::palette();
    QIcon icon;
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Selected}) {
        icon.addPixmap(choice(std::nullopt), mode, QIcon::Off);
        icon.addPixmap(choice(palette.color(mode == QIcon::Normal ? QPalette::Highlight : QPalette::HighlightedText)),
                       mode, QIcon::On);
    }
    return icon;
}

} // namespace tamo
