#include "cards/StoredEntries.h"

#include <algorithm>
#include <limits>

namespace tamo {

std::optional<double> storedNumber(const QVariantMap &entry, const QString &field)
{
    const QVariant value = entry.value(field);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return value.toDouble();
    default:
        return std::nullopt;
    }
}

int storedInteger(const QVariantMap &entry, const QString &field)
{
    const double number = storedNumber(entry, field).value_or(0);
    return int(std::clamp(number, 0.0, double(std::numeric_limits<int>::max())));
}

std::optional<QVariantMap> storedEntry(const QVariantMap &all, const QString &id)
{
    const QVariant entry = all.value(id);
    if (entry.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return entry.toMap();
}

QString screenLabel(const QString &name, int width, int height)
{
    return QStringLiteral("%1, %2 \u00D7 %3").arg(name).arg(width).arg(height);
}

QCollator screenLabelCollator()
{
    const QLocale locale;
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

} // namespace tamo
