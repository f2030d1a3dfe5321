#include "cards/CardPainter.h"

#include "cards/CardHeader.h"
#include "cards/CardMetrics.h"
#include "cards/CardPieces.h"
#include "cards/ClipContentView.h"
#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"

#include <QPainter>

namespace tamo {

namespace {

// Cards are a shade lighter than the glass panel they lie on.
constexpr float lightGlassTint = 0.45f;
constexpr float darkGlassTint = 0.07f;
constexpr qreal glassRimOpacity = 0.84;
constexpr float classicOutlineOpacity = 0.1f;

GlassStyle glassStyleOf(const CardAppearance &appearance)
{
    GlassStyle style;
    style.base = appearance.colors.window;
    style.translucent = appearance.isTranslucent;
    style.tint = QColor::fromRgbF(1, 1, 1, appearance.colors.isDark ? darkGlassTint : lightGlassTint);
    style.rimOpacity = glassRimOpacity;
    return style;
}

void paintBody(QPainter &painter, const QPainterPath &shape, const CardAppearance &appearance)
{
    if (appearance.style == CardStyle::glass) {
        paintGlass(painter, shape, glassStyleOf(appearance));
        return;
    }
    painter.fillPath(shape, appearance.colors.surface);
    QColor outline = appearance.colors.label;
    outline.setAlphaF(classicOutlineOpacity);
    painter.setPen(QPen(outline, 1));
    painter.drawPath(shape);
}

QString bodyKey(const CardAppearance &appearance, const CardMetrics &metrics)
{
    const CardColors &colors = appearance.colors;
    const QColor &fill = appearance.style == CardStyle::glass ? colors.window : colors.surface;
    return QStringLiteral("body|%1|%2|%3|%4|%5|%6")
        .arg(int(appearance.style))
        .arg(metrics.cornerRadius)
        .arg(fill.name(QColor::HexArgb), colors.label.name(QColor::HexArgb))
        .arg(appearance.isTranslucent)
        .arg(colors.isDark);
}

void paintSelectionRing(QPainter &painter, const QRectF &card, const CardMetrics &metrics, const QColor &color)
{
    const QString key = QStringLiteral("ring|%1|%2|%3")
                            .arg(color.name(QColor::HexArgb))
                            .arg(metrics.ringWidth)
                            .arg(metrics.cornerRadius);
    CardPieces::draw(painter, card, key, [&](QPainter &piece, const QRectF &rect) {
        const qreal half = metrics.ringWidth / 2;
        piece.setPen(QPen(color, metrics.ringWidth));
        piece.setBrush(Qt::NoBrush);
        piece.drawPath(roundedRect(rect.adjusted(half, half, -half, -half), metrics.cornerRadius - half));
    });
}

} // namespace

void CardPainter::paint(QPainter &painter, const QRectF &bounds, const CardAppearance &appearance)
{
    const CardMetrics metrics(appearance.size, appearance.isCompact);
    const QRectF card = metrics.cardRect(bounds);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    CardPieces::draw(painter, card, bodyKey(appearance, metrics), [&](QPainter &piece, const QRectF &rect) {
        paintBody(piece, roundedRect(rect, metrics.cornerRadius), appearance);
    });
    CardHeader(appearance, metrics, card).paint(painter);
    ClipContentView(appearance, metrics, card).paint(painter);
    if (appearance.isSelected)
        paintSelectionRing(painter, card, metrics, appearance.colors.highlight);
    painter.restore();
}

QRectF CardPainter::labelRect(const QRectF &bounds, const CardAppearance &appearance)
{
    const CardMetrics metrics(appearance.size, appearance.isCompact);
    return CardHeader(appearance, metrics, metrics.cardRect(bounds)).labelRect();
}

QRectF CardPainter::iconRect(const QRectF &bounds, const CardAppearance &appearance)
{
    const CardMetrics metrics(appearance.size, appearance.isCompact);
    return CardHeader(appearance, metrics, metrics.cardRect(bounds)).iconRect();
}

QRectF CardPainter::pictureRect(const QRectF &bounds, const CardAppearance &appearance)
{
    const CardMetrics metrics(appearance.size, appearance.isCompact);
    return ClipContentView(appearance, metrics, metrics.cardRect(bounds)).pictureRect();
}

} // namespace tamo
