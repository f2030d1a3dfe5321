#include "drawer/RectString.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <cmath>

namespace tamo {

namespace {

QString number(qreal value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

QString rectToString(const QRectF &rect)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(number(rect.x()), number(rect.y()), number(rect.width()), number(rect.height()));
}

std::optional<QRectF> rectFromString(QStringView text)
{
    static const QRegularExpression numberPattern(QStringLiteral("[-+]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][-+]?\\d+)?"));
    std::array<qreal, 4> values{};
    qsizetype found = 0;
    auto matches = numberPattern.globalMatch(text);
    while (found < qsizetype(values.size()) && matches.hasNext()) {
        bool ok = false;
        const qreal value = matches.next().captured().toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return std::nullopt;
        values[found++] = value;
    }
    if (found < qsizetype(values.size()))
        return std::nullopt;
    return QRectF(values[0], values[1], values[2], values[3]);
}

} // namespace tamo
