#pragma once

#include <QRectF>
#include <QString>

#include <ostream>

// Readable failure messages for the Qt values these tests compare.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QRectF &rect, std::ostream *out)
{
    *out << '(' << rect.x() << ", " << rect.y() << ", " << rect.width() << ", " << rect.height() << ')';
}
