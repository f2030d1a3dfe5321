#include "drawer/PinboardTabLabel.h"

#include "cards/GlassRim.h"
#include "cards/ViewStyles.h"

#include <QPainter>

namespace tamo {

namespace {

constexpr double titlePoints = 13.5;
constexpr double symbolPoints = 12;
constexpr int dotSide = 10;
constexpr int markSpacing = 6;
constexpr int sidePadding = 10;
constexpr int textSlack = 2;
constexpr int tabHeight = 30;
constexpr float foregroundOpacity = 0.85f;

QColor foreground()
{
    return labelColorAt(foregroundOpacity);
}

int symbolSide()
{
    return QFontMetrics(uiFont(symbolPoints)).height();
}

} // namespace

PinboardTabLabel::PinboardTabLabel(const QString &title, const QString &symbol, const QColor &color, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_color(color)
{
    setTitle(title);
    setFont(uiFont(titlePoints));
    // Clicked, dragged or given a menu, a tab leaves the keyboard with the row.
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_glass.tint = color;
}

void PinboardTabLabel::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    // The text names the button for screen readers; drawn, the title is.
    setText(literalLabel(title));
    updateGeometry();
}

void PinboardTabLabel::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    m_glass.tint = color;
    updateGeometry();
    update();
}

PinboardTabLabel::Mark PinboardTabLabel::mark() const
{
    if (m_color.isValid())
        return Mark::dot;
    return m_symbol.isEmpty() ? Mark::none : Mark::symbol;
}

void PinboardTabLabel::setSelected(bool selected)
{
    if (selected == m_glass.isSelected)
        return;
    m_glass.isSelected = selected;
    update();
}

void PinboardTabLabel::setGlassHidden(bool hidden)
{
    if (hidden == m_glassHidden)
        return;
    m_glassHidden = hidden;
    update();
}

void PinboardTabLabel::setRotation(qreal degrees)
{
    if (degrees == m_rotation)
        return;
    m_rotation = degrees;
    update();
}

void PinboardTabLabel::setOpacity(qreal opacity)
{
    if (opacity == m_opacity)
        return;
    m_opacity = opacity;
    update();
}

QSize PinboardTabLabel::sizeHint() const
{
    // Eliding measures the shaped text, which can run a pixel past the
    // advance; the slack keeps a title that fits from being cut.
    int width = fontMetrics().horizontalAdvance(m_title) + textSlack + 2 * sidePadding;
    switch (mark()) {
    case Mark::dot: width += dotSide + markSpacing; break;
    case Mark::symbol: width += symbolSide() + markSpacing; break;
    case Mark::none: break;
    }
    return {width, tabHeight};
}

bool PinboardTabLabel::hitButton(const QPoint &pos) const
{
    return capsule(rect()).contains(pos);
}

void PinboardTabLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity);
    const QPointF centre = QRectF(rect()).center();
    painter.translate(centre);
    painter.rotate(m_rotation);
    painter.translate(-centre);

    if (!m_glassHidden)
        m_glass.paint(painter, rect());

    qreal x = sidePadding;
    const qreal middle = height() / 2.0;
    switch (mark()) {
    case Mark::dot:
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_color);
        painter.drawEllipse(QRectF(x, middle - dotSide / 2.0, dotSide, dotSide));
        x += dotSide + markSpacing;
        break;
    case Mark::symbol: {
        const int side = symbolSide();
        const QPixmap symbol = tintedSymbol(m_symbol, side, foreground(), devicePixelRatioF());
        if (!symbol.isNull())
            painter.drawPixmap(QPointF(x, middle - side / 2.0), symbol);
        x += side + markSpacing;
        break;
    }
    case Mark::none: break;
    }

    painter.setPen(foreground());
    const QRectF textRect(x, 0, width() - x - sidePadding, height());
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                     fontMetrics().elidedText(m_title, Qt::ElideRight, int(textRect.width())));
}

} // namespace tamo
