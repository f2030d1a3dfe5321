#pragma once

#include <QColor>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace tamo {

class ClipItem;

// How old a clip is, as short as the header allows: "now" under a minute,
// then "5m", "3h", "2d" up to a week, then the day and month ("12 Mar"),
// with the year when it is not this year's. A date ahead of `now` (another
// machine's clock) reads "now".
QString compactAge(const QDateTime &created, const QDateTime &now, const QLocale &locale = QLocale());

// The header's label: the title, else untitledLabel().
QString cardLabel(const ClipItem &clip);
// The source app's name, else the kind's name.
QString untitledLabel(const ClipItem &clip);

// The name a file shows under, the last part of its path.
QString fileDisplayName(const QString &path);

// "+ 2 more" for the files a card has no room to name; empty for none.
QString moreFilesText(qsizetype hiddenCount);

// The colour a colour clip holds: #RGB, #RRGGBB or #RRGGBBAA (alpha last, as
// web colours write it), ignoring surrounding white space.
std::optional<QColor> colorFromHexText(const QString &text);

} // namespace tamo
