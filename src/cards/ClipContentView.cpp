#include "cards/ClipContentView.h"

#include "cards/CardPieces.h"
#include "cards/GlassRim.h"
#include "cards/TextBlock.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tamo {

namespace {

constexpr qreal basePictureRadius = 10;
constexpr qreal baseSwatchRadius = 12;
constexpr qreal baseLineGap = 2;
constexpr qreal baseBlockGap = 10;     // between a picture and its text
constexpr qreal baseCheckerSide = 8;
constexpr qreal bannerShare = 0.55;    // of the content's height at most
constexpr qreal bannerAspect = 1.91;   // the usual page-image shape
constexpr int fileNameLines = 2;
constexpr int linkTitleLines = 3;
constexpr float placeholderOpacity = 0.06f;
constexpr float outlineOpacity = 0.12f;
constexpr qreal missingFileOpacity = 0.4;

QColor withAlpha(QColor color, float alpha)
{
    color.setAlphaF(alpha);
    return color;
}

QBrush checkerboard(qreal side, const QColor &light, const QColor &dark)
{
    const int cell = std::max(1, int(std::round(side)));
    QImage tile(2 * cell, 2 * cell, QImage::Format_RGB32);
    tile.fill(light);
    QPainter painter(&tile);
    painter.fillRect(0, 0, cell, cell, dark);
    painter.fillRect(cell, cell, cell, cell, dark);
    return QBrush(tile);
}

} // namespace

ClipContentView::ClipContentView(const CardAppearance &appearance, const CardMetrics &metrics, const QRectF &card)
    : m_appearance(appearance)
    , m_metrics(metrics)
    , m_content(metrics.contentRect(card))
{
}

QRectF ClipContentView::pictureRect() const
{
    switch (m_appearance.content.kind) {
    case ClipKind::image:
        return m_content;
    case ClipKind::link: {
        if (!m_appearance.content.isLinkPreview)
            return {};
        const qreal height = std::round(std::min(m_content.height() * bannerShare, m_content.width() / bannerAspect));
        return QRectF(m_content.topLeft(), QSizeF(m_content.width(), height));
    }
    case ClipKind::file:
        return m_content.adjusted(0, 0, 0, -fileCaptionHeight());
    case ClipKind::text:
    case ClipKind::color:
        break;
    }
    return {};
}

qreal ClipContentView::fileCaptionHeight() const
{
    const qreal s = m_metrics.scale;
    const TextBlockStyle name{m_metrics.labelFont(), {}, fileNameLines};
    const TextBlockStyle detail{m_metrics.detailFont(), {}, 1};
    return baseBlockGap * s + textBlockHeight(name, fileNameLines) + baseLineGap * s + textBlockHeight(detail, 1);
}

QColor ClipContentView::textColor() const
{
    return m_appearance.colors.label;
}

void ClipContentView::paint(QPainter &painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    switch (m_appearance.content.kind) {
    case ClipKind::text:
        paintText(painter);
        break;
    case ClipKind::link:
        if (m_appearance.content.isLinkPreview)
            paintLinkPreview(painter);
        else
            paintLink(painter);
        break;
    case ClipKind::image:
        paintImage(painter);
        break;
    case ClipKind::file:
        paintFile(painter);
        break;
    case ClipKind::color:
        paintColor(painter);
        break;
    }
    painter.restore();
}

void ClipContentView::paintText(QPainter &painter) const
{
    TextBlockStyle style{m_metrics.textFont(m_appearance.textScale), textColor()};
    style.lineGap = baseLineGap * m_metrics.scale;
    paintTextBlock(painter, m_content, m_appearance.content.text, style);
}

void ClipContentView::paintLink(QPainter &painter) const
{
    TextBlockStyle style{m_metrics.textFont(m_appearance.textScale), m_appearance.colors.link};
    style.lineGap = baseLineGap * m_metrics.scale;
    style.breakAnywhere = true;
    paintTextBlock(painter, m_content, m_appearance.content.text, style);
}

void ClipContentView::paintLinkPreview(QPainter &painter) const
{
    const qreal s = m_metrics.scale;
    const ClipContent &content = m_appearance.content;
    qreal top = m_content.top();
    const QRectF banner = pictureRect();
    if (!content.picture) {
        paintPlaceholder(painter, banner, {});
        top = banner.bottom() + baseBlockGap * s;
    } else if (content.picture->status == Thumbnail::Status::ready) {
        paintPicture(painter, banner, content.picture->image, Qt::KeepAspectRatioByExpanding);
        top = banner.bottom() + baseBlockGap * s;
    }

    const TextBlockStyle host{m_metrics.detailFont(), m_appearance.colors.secondaryLabel, 1};
    const qreal hostHeight = textBlockHeight(host, 1);
    QFont titleFont = m_metrics.textFont(m_appearance.textScale);
    titleFont.setWeight(QFont::DemiBold);
    TextBlockStyle title{titleFont, textColor(), linkTitleLines};
    title.lineGap = baseLineGap * s;
    const QRectF titleBox(m_content.left(), top, m_content.width(),
                          m_content.bottom() - top - hostHeight - baseLineGap * s);
    top += paintTextBlock(painter, titleBox, content.text, title) + baseLineGap * s;
    paintTextBlock(painter, QRectF(m_content.left(), top, m_content.width(), hostHeight), content.detail, host);
}

void ClipContentView::paintImage(QPainter &painter) const
{
    const auto &picture = m_appearance.content.picture;
    if (!picture)
        paintPlaceholder(painter, m_content, {});
    else if (picture->status == Thumbnail::Status::ready)
        paintPicture(painter, m_content, picture->image, Qt::KeepAspectRatio);
    else
        paintPlaceholder(painter, m_content, QStringLiteral("Image unavailable"));
}

void ClipContentView::paintFile(QPainter &painter) const
{
    const qreal s = m_metrics.scale;
    const ClipContent &content = m_appearance.content;
    const QRectF area = pictureRect();
    const bool missing = content.picture && content.picture->status == Thumbnail::Status::missing;
    if (content.picture && content.picture->status == Thumbnail::Status::ready) {
        paintPicture(painter, area, content.picture->image, Qt::KeepAspectRatio);
    } else if (!content.fileIcon.isNull()) {
        const qreal side = std::min({m_metrics.fileIconSide, area.width(), area.height()});
        QRectF icon(0, 0, side, side);
        icon.moveCenter(area.center());
        painter.setOpacity(missing ? missingFileOpacity : 1.0);
        painter.drawImage(icon, content.fileIcon);
        painter.setOpacity(1.0);
    }

    qreal top = area.bottom() + baseBlockGap * s;
    TextBlockStyle name{m_metrics.labelFont(), textColor(), fileNameLines};
    name.font.setWeight(QFont::Normal);
    name.breakAnywhere = true;
    name.alignment = Qt::AlignHCenter;
    top += paintTextBlock(painter, QRectF(m_content.left(), top, m_content.width(), m_content.bottom() - top),
                          content.text, name) + baseLineGap * s;

    QStringList details;
    if (missing)
        details.append(QStringLiteral("Not found"));
    if (!content.detail.isEmpty())
        details.append(content.detail);
    TextBlockStyle detail{m_metrics.detailFont(), m_appearance.colors.secondaryLabel, 1};
    detail.alignment = Qt::AlignHCenter;
    paintTextBlock(painter, QRectF(m_content.left(), top, m_content.width(), m_content.bottom() - top),
                   details.join(QStringLiteral(" · ")), detail);
}

void ClipContentView::paintColor(QPainter &painter) const
{
    const qreal s = m_metrics.scale;
    const ClipContent &content = m_appearance.content;
    if (!content.color.isValid()) {
        paintText(painter);
        return;
    }
    QFont font = m_metrics.textFont(m_appearance.textScale);
    font.setWeight(QFont::DemiBold);
    const TextBlockStyle text{font, textColor(), 1};
    const qreal textHeight = textBlockHeight(text, 1);
    const QRectF swatch = m_content.adjusted(0, 0, 0, -(textHeight + baseBlockGap * s));
    const QColor color = content.color;
    const QColor outline = withAlpha(textColor(), outlineOpacity);
    const qreal radius = baseSwatchRadius * s;
    const QString key = QStringLiteral("swatch|%1|%2|%3")
                            .arg(color.name(QColor::HexArgb), outline.name(QColor::HexArgb))
                            .arg(radius);
    CardPieces::draw(painter, swatch, key, [&](QPainter &piece, const QRectF &rect) {
        const QPainterPath shape = roundedRect(rect, radius);
        if (color.alpha() < 255)
            piece.fillPath(shape, checkerboard(baseCheckerSide * s, Qt::white, QColor(0xD0, 0xD0, 0xD0)));
        piece.fillPath(shape, color);
        // A white swatch on a white card still shows its edge.
        piece.setPen(QPen(outline, 1));
        piece.drawPath(shape);
    });
    paintTextBlock(painter, QRectF(m_content.left(), swatch.bottom() + baseBlockGap * s, m_content.width(), textHeight),
                   content.text, text);
}

void ClipContentView::paintPicture(QPainter &painter, const QRectF &box, const QImage &image,
                                   Qt::AspectRatioMode mode) const
{
    if (image.isNull() || box.isEmpty())
        return;
    // The thumbnail was made for this box, corners rounded: shown 1:1 on
    // whole device pixels it stays sharp and is a plain copy. Fit never
    // enlarges; cover fills the box.
    const qreal dpr = m_appearance.devicePixelRatio;
    QSizeF size = QSizeF(image.size()) / dpr;
    if (mode == Qt::KeepAspectRatioByExpanding || size.width() > box.width() || size.height() > box.height())
        size = size.scaled(box.size(), Qt::KeepAspectRatio);
    QRectF target(QPointF(), size);
    target.moveCenter(box.center());
    target.moveTopLeft(QPointF(std::round(target.left() * dpr), std::round(target.top() * dpr)) / dpr);
    painter.drawImage(target, image);
}

qreal ClipContentView::pictureCornerRadius() const
{
    return basePictureRadius * m_metrics.scale;
}

void ClipContentView::paintPlaceholder(QPainter &painter, const QRectF &box, const QString &caption) const
{
    const QColor fill = withAlpha(textColor(), placeholderOpacity);
    const qreal radius = pictureCornerRadius();
    const QString key = QStringLiteral("placeholder|%1|%2").arg(fill.name(QColor::HexArgb)).arg(radius);
    CardPieces::draw(painter, box, key, [&](QPainter &piece, const QRectF &rect) {
        piece.fillPath(roundedRect(rect, radius), fill);
    });
    if (caption.isEmpty())
        return;
    TextBlockStyle style{m_metrics.detailFont(), m_appearance.colors.secondaryLabel, 2};
    style.alignment = Qt::AlignHCenter;
    const qreal height = textBlockHeight(style, 1);
    paintTextBlock(painter, QRectF(box.left(), box.center().y() - height / 2, box.width(), height * 2), caption, style);
}

} // namespace tamo
