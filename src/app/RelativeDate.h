#pragma once

#include <QDateTime>
#include <QString>

namespace tamo {

// A date as words relative to now, named where English has a name:
// "now", "5 minutes ago", "yesterday", "last week", "in 2 hours", "tomorrow".
QString relativeDateText(const QDateTime &date, const QDateTime &now);

} // namespace tamo
