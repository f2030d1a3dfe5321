#include "cards/KeywordTokens.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <utility>

namespace tamo {

namespace {

constexpr int spacing = 4;
constexpr int textInset = 8;
constexpr int removeSide = 14;
constexpr int removeInset = 4;
constexpr int crossInset = 4;
constexpr int textSlack = 2; // measured widths round down; elision must not cut a token that fits

} // namespace

KeywordTokens::KeywordTokens(QWidget *parent)
    : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setMouseTracking(true);
}

void KeywordTokens::setTokens(const QStringList &tokens)
{
    if (tokens == m_tokens)
        return;
    m_tokens = tokens;
    m_hovered = -1;
    m_pressed = -1;
    relayout();
}

int KeywordTokens::tokenHeight() const
{
    return fontMetrics().height() + 6;
}

QList<QRect> KeywordTokens::tokenRects(int width) const
{
    QList<QRect> rects;
    rects.reserve(m_tokens.size());
    const QFontMetrics metrics = fontMetrics();
    const int height = tokenHeight();
    const int chrome = textInset + spacing + removeSide + removeInset;
    int x = 0;
    int y = 0;
    for (const QString &token : m_tokens) {
        // A token wider than the row is cut to the row (its text elided).
        const int tokenWidth
            = std::min(metrics.horizontalAdvance(token) + textSlack + chrome, std::max(width, chrome));
        if (x > 0 && x + tokenWidth > width) {
            x = 0;
            y += height + spacing;
        }
        rects.append(QRect(x, y, tokenWidth, height));
        x += tokenWidth + spacing;
    }
    return rects;
}

int KeywordTokens::heightForWidth(int width) const
{
    const QList<QRect> rects = tokenRects(width);
    return rects.isEmpty() ? 0 : rects.last().bottom() + 1;
}

QSize KeywordTokens::sizeHint() const
{
    const int width = std::max(this->width(), 200);
    return {width, heightForWidth(width)};
}

QSize KeywordTokens::minimumSizeHint() const
{
    return {0, 0};
}

QRect KeywordTokens::removeButtonRect(int index) const
{
    if (index < 0 || index >= m_rects.size())
        return {};
    const QRect &token = m_rects.at(index);
    return {token.right() - removeInset - removeSide + 1, token.center().y() - removeSide / 2 + 1, removeSide,
            removeSide};
}

int KeywordTokens::removeButtonAt(const QPoint &point) const
{
    for (int i = 0; i < m_rects.size(); ++i) {
        if (removeButtonRect(i).contains(point))
            return i;
    }
    return -1;
}

void KeywordTokens::relayout()
{
    m_rects = tokenRects(width());
    updateGeometry();
    update();
}

void KeywordTokens::setHovered(int index)
{
    if (index == m_hovered)
        return;
    m_hovered = index;
    update();
}

void KeywordTokens::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette &colors = palette();
    QColor fill = colors.color(QPalette::Highlight);
    fill.setAlphaF(0.16f);
    const QColor text = colors.color(QPalette::WindowText);
    const QFontMetrics metrics = fontMetrics();

    for (int i = 0; i < m_rects.size(); ++i) {
        const QRect &token = m_rects.at(i);
        if (!token.intersects(event->rect()))
            continue;
        const qreal radius = token.height() / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(token, radius, radius);

        const QRect button = removeButtonRect(i);
        const QRect textRect(token.left() + textInset, token.top(), button.left() - spacing - token.left() - textInset,
                             token.height());
        painter.setPen(text);
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                         metrics.elidedText(m_tokens.at(i), Qt::ElideRight, textRect.width()));

        QColor cross = text;
        if (i == m_hovered) {
            QColor hoverFill = text;
            hoverFill.setAlphaF(0.15f);
            painter.setPen(Qt::NoPen);
            painter.setBrush(hoverFill);
            painter.drawEllipse(button);
        } else {
            cross.setAlphaF(0.6f);
        }
        painter.setPen(QPen(cross, 1.4, Qt::SolidLine, Qt::RoundCap));
        const QRectF mark = QRectF(button).adjusted(crossInset, crossInset, -crossInset, -crossInset);
        painter.drawLine(mark.topLeft(), mark.bottomRight());
        painter.drawLine(mark.topRight(), mark.bottomLeft());
    }
}

void KeywordTokens::mouseMoveEvent(QMouseEvent *event)
{
    setHovered(removeButtonAt(event->position().toPoint()));
}

void KeywordTokens::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton ? removeButtonAt(event->position().toPoint()) : -1;
    event->setAccepted(m_pressed >= 0);
}

void KeywordTokens::mouseReleaseEvent(QMouseEvent *event)
{
    const int pressed = std::exchange(m_pressed, -1);
    if (pressed >= 0 && event->button() == Qt::LeftButton && removeButtonAt(event->position().toPoint()) == pressed)
        emit removeRequested(pressed);
}

void KeywordTokens::leaveEvent(QEvent *)
{
    setHovered(-1);
}

void KeywordTokens::resizeEvent(QResizeEvent *)
{
    m_rects = tokenRects(width());
}

void KeywordTokens::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        relayout();
    QWidget::changeEvent(event);
}

} // namespace tamo
