#include "drawer/SearchQueryView.h"

#include "cards/ViewStyles.h"

#include <QPainter>

namespace tamo {

namespace {

constexpr int leadingPadding = 2;
constexpr int spacing = 1;
constexpr qreal caretWidth = 2;
constexpr qreal caretHeight = 18;
constexpr int placeholderPadding = 3;
constexpr float tertiaryLabelOpacity = 0.3f;

QColor tertiaryLabelColor()
{
    return labelColorAt(tertiaryLabelOpacity);
}

} // namespace

SearchQueryView::SearchQueryView(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void SearchQueryView::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void SearchQueryView::setPlaceholderShown(bool shown)
{
    if (shown == m_placeholderShown)
        return;
    m_placeholderShown = shown;
    updateGeometry();
    update();
}

void SearchQueryView::setCaretOpacity(qreal opacity)
{
    m_caretOpacity = opacity;
    update(caretRect().toAlignedRect());
}

int SearchQueryView::placeholderWidth() const
{
    if (!m_placeholderShown)
        return 0;
    return spacing + placeholderPadding + fontMetrics().horizontalAdvance(QString::fromLatin1(placeholder));
}

// Everything but the text itself.
int SearchQueryView::widthAround() const
{
    return leadingPadding + spacing + int(caretWidth) + placeholderWidth();
}

QString SearchQueryView::shownText() const
{
    const int room = width() - widthAround();
    if (m_text.isEmpty() || room <= 0)
        return {};
    return fontMetrics().elidedText(m_text, Qt::ElideLeft, room);
}

QRectF SearchQueryView::caretRect() const
{
    const qreal x = leadingPadding + fontMetrics().horizontalAdvance(shownText()) + spacing;
    return {x, (height() - caretHeight) / 2, caretWidth, caretHeight};
}

QSize SearchQueryView::sizeHint() const
{
    return {widthAround() + fontMetrics().horizontalAdvance(m_text), minimumSizeHint().height()};
}

QSize SearchQueryView::minimumSizeHint() const
{
    return {widthAround(), qMax(int(caretHeight), fontMetrics().height())};
}

void SearchQueryView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QString text = shownText();
    const QRectF caret = caretRect();
    const QRectF line(0, 0, width(), height());
    painter.setPen(sharedLabelColor());
    painter.drawText(line.adjusted(leadingPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     text);

    painter.setOpacity(m_caretOpacity);
    painter.fillRect(caret, palette().color(QPalette::Highlight));
    painter.setOpacity(1);

    if (m_placeholderShown) {
        painter.setPen(tertiaryLabelColor());
        painter.drawText(line.adjusted(caret.right() + spacing + placeholderPadding, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QString::fromLatin1(placeholder));
    }
}

} // namespace tamo
