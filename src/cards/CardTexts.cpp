#include "cards/CardTexts.h"

#include "model/ClipItem.h"

#include <algorithm>

namespace tamo {

namespace {

constexpr qint64 minute = 60;
constexpr qint64 hour = 60 * minute;
constexpr qint64 day = 24 * hour;
constexpr qint64 week = 7 * day;

std::optional<QString> nonBlank(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    const QString trimmed = text->trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

} // namespace

QString compactAge(const QDateTime &created, const QDateTime &now, const QLocale &locale)
{
    // Whole seconds on both sides: clips of one second are always of one age.
    const qint64 seconds = now.toSecsSinceEpoch() - created.toSecsSinceEpoch();
    if (seconds < minute)
        return QStringLiteral("now");
    if (seconds < hour)
        return QStringLiteral("%1m").arg(seconds / minute);
    if (seconds < day)
        return QStringLiteral("%1h").arg(seconds / hour);
    if (seconds < week)
        return QStringLiteral("%1d").arg(seconds / day);
    const QDate date = created.toLocalTime().date();
    const bool thisYear = date.year() == now.toLocalTime().date().year();
    return locale.toString(date, thisYear ? QStringLiteral("d MMM") : QStringLiteral("d MMM yyyy"));
}

QString cardLabel(const ClipItem &clip)
{
    if (const auto title = nonBlank(clip.title()))
        return *title;
    return untitledLabel(clip);
}

QString untitledLabel(const ClipItem &clip)
{
    if (const auto app = nonBlank(clip.sourceAppName()))
        return *app;
    return displayName(clip.kind());
}

QString fileDisplayName(const QString &path)
{
    QStringView view(path);
    while (view.size() > 1 && view.endsWith(u'/'))
        view.chop(1);
    const qsizetype slash = view.lastIndexOf(u'/');
    return (slash < 0 || view.size() == 1 ? view : view.mid(slash + 1)).toString();
}

QString moreFilesText(qsizetype hiddenCount)
{
    if (hiddenCount <= 0)
        return {};
    return QStringLiteral("+ %1 more").arg(hiddenCount);
}

std::optional<QColor> colorFromHexText(const QString &text)
{
    const QString hex = text.trimmed();
    const QStringView digits = QStringView(hex).mid(1);
    const bool hexDigits = std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
    if (!hex.startsWith(u'#') || digits.isEmpty() || !hexDigits)
        return std::nullopt;
    const uint value = digits.toUInt(nullptr, 16);
    switch (hex.size() - 1) {
    case 3: {
        const auto nibble = [value](int shift) { return int((value >> shift) & 0xF) * 0x11; };
        return QColor(nibble(8), nibble(4), nibble(0));
    }
    case 6:
        return QColor::fromRgb(QRgb(0xFF000000 | value));
    case 8:
        return QColor(int(value >> 24), int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF));
    default:
        return std::nullopt;
    }
}

} // namespace tamo
