#include "cards/WrappedText.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <utility>

namespace tamo {

namespace {

// More than a page of such text is never read in full; cutting it first keeps
// the layout quick (breaking inside long words grows with their square).
constexpr qsizetype longestShownText = 2000;

} // namespace

WrappedText::WrappedText(QWidget *parent)
    : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void WrappedText::setText(const QString &text)
{
    QString shown = text.size() > longestShownText ? text.left(longestShownText) + QChar(0x2026) : text;
    if (shown == m_text)
        return;
    m_text = std::move(shown);
    updateGeometry();
    update();
}

void WrappedText::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void WrappedText::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void WrappedText::setMaximumLines(int lines)
{
    m_maximumLines = lines;
    updateGeometry();
}

int WrappedText::textFlags() const
{
    return int(m_alignment) | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere;
}

int WrappedText::heightForWidth(int width) const
{
    if (m_text.isEmpty())
        return 0;
    const QFontMetrics metrics = fontMetrics();
    const int height = metrics.boundingRect(QRect(0, 0, std::max(width, 1), INT_MAX), textFlags(), m_text).height();
    if (m_maximumLines <= 0)
        return height;
    return std::min(height, m_maximumLines * metrics.lineSpacing());
}

QSize WrappedText::sizeHint() const
{
    const int width = fontMetrics().horizontalAdvance(m_text.left(80));
    return {width, heightForWidth(width)};
}

QSize WrappedText::minimumSizeHint() const
{
    return {0, fontMetrics().height()};
}

void WrappedText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_color.isValid() ? m_color : palette().color(QPalette::WindowText));
    painter.setClipRect(rect());
    painter.drawText(QRect(0, 0, width(), INT_MAX), textFlags(), m_text);
}

} // namespace tamo
