#include "cards/TextBlock.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace tamo {

namespace {

constexpr QChar ellipsis(0x2026);
constexpr int tabWidthInSpaces = 4;

struct VisibleText
{
    QString text;   // lines end in U+2028
    bool cut = false; // more of the text follows
};

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// The start of the text that can show: blank lines at the top dropped, line
// breaks made line separators (one paragraph, one direction), control
// characters shown as spaces, and nothing past `maxLines` lines or
// `maxChars` characters.
VisibleText visiblePart(const QString &text, qsizetype maxChars, int maxLines)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size() && i < maxChars; ++i) {
        if (isLineBreak(text[i]))
            start = i + 1;
        else if (!text[i].isSpace())
            break;
    }

    VisibleText visible;
    visible.text.reserve(std::min(maxChars, text.size() - start));
    int lines = 1;
    qsizetype i = start;
    for (; i < text.size() && visible.text.size() < maxChars; ++i) {
        QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        if (isLineBreak(c)) {
            if (++lines > maxLines)
                break;
            visible.text.append(QChar::LineSeparator);
            continue;
        }
        if (c.category() == QChar::Other_Control && c != u'\t')
            c = u' ';
        visible.text.append(c);
    }
    visible.cut = i < text.size();
    return visible;
}

qreal narrowestAdvance(const QFontMetricsF &metrics)
{
    return std::max<qreal>(1, std::min(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u' ')));
}

QTextOption optionFor(const QString &text, const TextBlockStyle &style, const QFontMetricsF &metrics)
{
    const Qt::LayoutDirection direction = text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    // Text layouts take alignment literally: leading becomes right here.
    QTextOption option(QStyle::visualAlignment(direction, style.alignment));
    option.setTextDirection(direction);
    option.setWrapMode(style.breakAnywhere ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WordWrap);
    option.setTabStopDistance(tabWidthInSpaces * metrics.horizontalAdvance(u' '));
    return option;
}

// The last line that shows: the rest of its paragraph, ending in an
// ellipsis whenever anything follows it.
QString lastLineText(const VisibleText &visible, qsizetype lineStart, const QFontMetricsF &metrics, qreal width)
{
    constexpr qsizetype longestLine = 1000; // far more than fits
    const qsizetype end = visible.text.indexOf(QChar::LineSeparator, lineStart);
    const qsizetype length = std::min(end < 0 ? visible.text.size() - lineStart : end - lineStart, longestLine);
    QString rest = visible.text.mid(lineStart, length);
    const bool more = visible.cut || lineStart + length < visible.text.size();
    QString shown = metrics.elidedText(rest, Qt::ElideRight, width);
    if (shown == rest && more) {
        while (!rest.isEmpty() && rest.back().isSpace())
            rest.chop(1);
        shown = metrics.elidedText(rest + ellipsis, Qt::ElideRight, width);
    }
    return shown;
}

void drawSingleLine(QPainter &painter, const QPointF &lineTop, qreal width, const QString &text,
                    const QFont &font, const QTextOption &option, qreal ascent)
{
    QTextLayout layout(text, font);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, ascent - line.ascent()));
    }
    layout.endLayout();
    layout.draw(&painter, lineTop);
}

} // namespace

qreal textBlockHeight(const TextBlockStyle &style, int lines)
{
    if (lines <= 0)
        return 0;
    return lines * QFontMetricsF(style.font).height() + (lines - 1) * style.lineGap;
}

qreal paintTextBlock(QPainter &painter, const QRectF &rect, const QString &text, const TextBlockStyle &style)
{
    const QFontMetricsF metrics(style.font);
    const qreal lineHeight = metrics.height();
    const int fitting = int(std::floor((rect.height() + style.lineGap) / (lineHeight + style.lineGap)));
    const int maxLines = std::min(style.maxLines, fitting);
    if (maxLines <= 0 || rect.width() <= 0 || text.isEmpty())
        return 0;

    const qsizetype perLine = qsizetype(std::ceil(rect.width() / narrowestAdvance(metrics))) + 1;
    const VisibleText visible = visiblePart(text, perLine * maxLines, maxLines);
    const QTextOption option = optionFor(visible.text, style, metrics);

    QTextLayout layout(visible.text, style.font);
    layout.setTextOption(option);
    layout.beginLayout();
    // Every line's baseline sits where the block's font puts it, also when
    // a fallback font (emoji) is taller.
    int count = 0;
    qsizetype lastStart = 0;
    qsizetype laidOut = 0;
    for (; count < maxLines; ++count) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(rect.width());
        line.setPosition(QPointF(0, count * (lineHeight + style.lineGap) + metrics.ascent() - line.ascent()));
        lastStart = line.textStart();
        laidOut = line.textStart() + line.textLength();
    }
    layout.endLayout();
    if (count == 0)
        return 0;

    painter.save();
    painter.setPen(style.color);
    const bool truncated = visible.cut || laidOut < visible.text.size();
    if (!truncated) {
        layout.draw(&painter, rect.topLeft());
    } else {
        for (int i = 0; i < count - 1; ++i)
            layout.lineAt(i).draw(&painter, rect.topLeft());
        const QPointF lastTop = rect.topLeft() + QPointF(0, (count - 1) * (lineHeight + style.lineGap));
        drawSingleLine(painter, lastTop, rect.width(), lastLineText(visible, lastStart, metrics, rect.width()),
                       style.font, option, metrics.ascent());
    }
    painter.restore();
    return textBlockHeight(style, count);
}

} // namespace tamo
