#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include <climits>

class QPainter;

namespace tamo {

struct TextBlockStyle
{
    QFont font;
    QColor color;
    int maxLines = INT_MAX;
    bool breakAnywhere = false; // URLs and file names have no spaces to wrap at
    qreal lineGap = 0;          // added between lines
    Qt::Alignment alignment = Qt::AlignLeading;
};

// Text wrapped into a rectangle from its top, aligned in its own direction
// (leading is the right for Hebrew or Arabic), cut after the last line
// that fits with an ellipsis when more follows. Only the part that can show
// is laid out, so a text of megabytes costs what a screenful does. Returns
// the height used.
qreal paintTextBlock(QPainter &painter, const QRectF &rect, const QString &text, const TextBlockStyle &style);

// The height paintTextBlock would use for `lines` lines.
qreal textBlockHeight(const TextBlockStyle &style, int lines);

} // namespace tamo
