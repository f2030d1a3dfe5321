#include "cards/CardHeader.h"

#include "cards/CardPieces.h"
#include "cards/EmojiFont.h"
#include "cards/GlassRim.h"
#include "platform/KeyNames.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tamo {

namespace {

constexpr qreal baseItemSpacing = 8;  // between age, tag and badge
constexpr qreal baseDotSide = 7;
constexpr qreal baseDotGap = 4;
constexpr qreal baseBadgeInset = 6;
constexpr qreal baseBadgeExtraHeight = 4;
constexpr qreal compactTagShare = 0.3; // of the header's width at most
constexpr qreal emojiShare = 0.82;     // of the icon's side
constexpr float bandDetailOpacity = 0.78f;
constexpr qreal iconPlateMargin = 0.08;   // of the icon's side, around it on a classic band
constexpr qreal iconPlateRounding = 0.25;
const QColor darkText(0x1D, 0x1D, 0x1F);
constexpr qreal minWhiteContrast = 3.0; // enough for a semibold label

qreal relativeLuminance(const QColor &color)
{
    const auto linear = [](float channel) {
        return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

qreal contrast(qreal luminanceA, qreal luminanceB)
{
    return (std::max(luminanceA, luminanceB) + 0.05) / (std::min(luminanceA, luminanceB) + 0.05);
}

void drawElided(QPainter &painter, const QRectF &rect, const QString &text, const QFont &font,
                const QColor &color, Qt::Alignment alignment = Qt::AlignLeft)
{
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(color);
    // Placed as the header is laid out, whichever way the text runs.
    QTextOption option(alignment | Qt::AlignAbsolute | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    painter.drawText(rect, metrics.elidedText(text, Qt::ElideRight, rect.width()), option);
}

} // namespace

CardHeader::CardHeader(const CardAppearance &appearance, const CardMetrics &metrics, const QRectF &card)
    : m_appearance(appearance)
    , m_metrics(metrics)
    , m_card(card)
    , m_header(metrics.headerRect(card))
{
}

QColor CardHeader::textColorOn(const QColor &background)
{
    // White reads as the band's own colour; dark text only where white
    // would be too faint.
    return contrast(relativeLuminance(background), 1.0) >= minWhiteContrast ? QColor(Qt::white) : darkText;
}

QColor CardHeader::labelColor() const
{
    if (m_appearance.style == CardStyle::classic)
        return textColorOn(m_appearance.header.accent);
    return m_appearance.colors.label;
}

QColor CardHeader::detailColor() const
{
    if (m_appearance.style == CardStyle::classic) {
        QColor color = labelColor();
        color.setAlphaF(bandDetailOpacity);
        return color;
    }
    return m_appearance.colors.secondaryLabel;
}

QString CardHeader::badgeText() const
{
    const auto &number = m_appearance.header.quickPasteNumber;
    return number ? keyNames(QStringLiteral("⌘%1").arg(*number)) : QString();
}

qreal CardHeader::badgeWidth() const
{
    const QString text = badgeText();
    if (text.isEmpty())
        return 0;
    QFont font = m_metrics.detailFont();
    font.setWeight(QFont::DemiBold);
    return std::ceil(QFontMetricsF(font).horizontalAdvance(text) + 2 * baseBadgeInset * m_metrics.scale);
}

qreal CardHeader::ageWidth() const
{
    return std::ceil(QFontMetricsF(m_metrics.detailFont()).horizontalAdvance(m_appearance.header.age));
}

qreal CardHeader::tagWidth(qreal available) const
{
    const auto &tag = m_appearance.header.pinboard;
    if (!tag)
        return 0;
    const qreal s = m_metrics.scale;
    const qreal name = QFontMetricsF(m_metrics.detailFont()).horizontalAdvance(tag->name);
    return std::min(available, (baseDotSide + baseDotGap) * s + name);
}

// The label gives way to the badge, and in a compact header also to the age
// and the tag on its line.
QRectF CardHeader::labelRect() const
{
    const qreal s = m_metrics.scale;
    const qreal spacing = baseItemSpacing * s;
    qreal reserve = 0;
    if (const qreal badge = badgeWidth(); badge > 0)
        reserve += badge + spacing;
    if (m_metrics.compact) {
        reserve += ageWidth() + spacing;
        if (const qreal tag = tagWidth(m_header.width() * compactTagShare); tag > 0)
            reserve += tag + spacing;
    }
    return m_metrics.labelRect(m_header, reserve);
}

QRectF CardHeader::iconRect() const
{
    return m_metrics.iconRect(m_header);
}

void CardHeader::paint(QPainter &painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_appearance.style == CardStyle::classic)
        paintBand(painter);
    paintIcon(painter);

    const QRectF label = labelRect();
    drawElided(painter, label, m_appearance.header.label, m_metrics.labelFont(), labelColor());

    const qreal s = m_metrics.scale;
    const qreal spacing = baseItemSpacing * s;
    const QFont detailFont = m_metrics.detailFont();
    const QFontMetricsF detailMetrics(detailFont);
    const qreal age = ageWidth();
    const qreal badge = badgeWidth();
    if (m_metrics.compact) {
        // label … [tag] age [badge], all on the label's line
        qreal right = m_header.right() - m_metrics.padding;
        if (badge > 0) {
            paintBadge(painter, QRectF(right - badge, label.top(), badge, label.height()));
            right -= badge + spacing;
        }
        drawElided(painter, QRectF(right - age, label.top(), age, label.height()), m_appearance.header.age,
                   detailFont, detailColor());
        right -= age + spacing;
        const qreal tag = tagWidth(m_header.width() * compactTagShare);
        if (tag > 0)
            paintTag(painter, QPointF(right - tag, label.center().y()), tag);
    } else {
        // label on the first line, age and tag under it; the badge on the right
        const QRectF detail(label.left(), label.bottom() + m_metrics.detailGap,
                            m_header.right() - m_metrics.padding - label.left(), detailMetrics.height());
        drawElided(painter, QRectF(detail.topLeft(), QSizeF(std::min(age, detail.width()), detail.height())),
                   m_appearance.header.age, detailFont, detailColor());
        const qreal tagLeft = detail.left() + age + spacing;
        if (m_appearance.header.pinboard && tagLeft < detail.right())
            paintTag(painter, QPointF(tagLeft, detail.center().y()), detail.right() - tagLeft);
        if (badge > 0) {
            const QRectF line(m_header.right() - m_metrics.padding - badge, iconRect().top(), badge,
                              iconRect().height());
            paintBadge(painter, line);
        }
    }
    painter.restore();
}

void CardHeader::paintBand(QPainter &painter) const
{
    const QColor accent = m_appearance.header.accent;
    const QString key = QStringLiteral("band|%1|%2|%3")
                            .arg(accent.name(QColor::HexArgb))
                            .arg(m_metrics.cornerRadius)
                            .arg(m_card.height());
    CardPieces::draw(painter, m_header, key, [&](QPainter &piece, const QRectF &band) {
        // The card's own outline, cut at the header's bottom edge.
        piece.setClipRect(band);
        piece.fillPath(roundedRect(QRectF(band.topLeft(), m_card.size()), m_metrics.cornerRadius), accent);
    });
}

void CardHeader::paintIcon(QPainter &painter) const
{
    const QRectF icon = iconRect();
    const auto &header = m_appearance.header;
    if (!header.emoji.isEmpty()) {
        painter.setFont(emojiFont(icon.height() * emojiShare));
        painter.setPen(labelColor());
        painter.drawText(icon, Qt::AlignCenter, header.emoji);
    } else if (!header.icon.isNull()) {
        // The band takes the icon's own colour, so on it the icon sits on a
        // light plate of its own to stay visible.
        if (m_appearance.style == CardStyle::classic) {
            const qreal margin = icon.width() * iconPlateMargin;
            const QRectF plate = icon.adjusted(-margin, -margin, margin, margin);
            QPainterPath path;
            path.addRoundedRect(plate, plate.width() * iconPlateRounding, plate.height() * iconPlateRounding);
            painter.fillPath(path, QColor(255, 255, 255, 230));
        }
        painter.drawImage(icon, header.icon);
    }
}

void CardHeader::paintBadge(QPainter &painter, const QRectF &line) const
{
    const qreal s = m_metrics.scale;
    QFont font = m_metrics.detailFont();
    font.setWeight(QFont::DemiBold);
    const qreal height = QFontMetricsF(font).height() + baseBadgeExtraHeight * s;
    const QRectF capsuleRect(line.left(), line.center().y() - height / 2, line.width(), height);

    QColor fill = m_appearance.style == CardStyle::classic ? labelColor() : m_appearance.colors.label;
    fill.setAlphaF(m_appearance.colors.isDark || m_appearance.style == CardStyle::classic ? 0.16f : 0.08f);
    painter.fillPath(capsule(capsuleRect), fill);
    drawElided(painter, capsuleRect, badgeText(), font, detailColor(), Qt::AlignHCenter);
}

void CardHeader::paintTag(QPainter &painter, const QPointF &leftCentre, qreal maxWidth) const
{
    const auto &tag = *m_appearance.header.pinboard;
    const qreal s = m_metrics.scale;
    const qreal dot = baseDotSide * s;
    painter.setBrush(tag.color);
    // On a band of a similar colour the dot keeps a thin outline.
    if (m_appearance.style == CardStyle::classic)
        painter.setPen(QPen(labelColor(), s));
    else
        painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(leftCentre.x(), leftCentre.y() - dot / 2, dot, dot));
    painter.setBrush(Qt::NoBrush);

    const qreal nameLeft = leftCentre.x() + dot + baseDotGap * s;
    const qreal nameWidth = maxWidth - dot - baseDotGap * s;
    if (nameWidth > 0) {
        const qreal height = QFontMetricsF(m_metrics.detailFont()).height();
        drawElided(painter, QRectF(nameLeft, leftCentre.y() - height / 2, nameWidth, height), tag.name,
                   m_metrics.detailFont(), detailColor());
    }
}

} // namespace tamo
