#pragma once

#include "cards/ScreenCardSizes.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tamo {

class AppModel;
class Defaults;

// The two texts of a support report: "summary.txt" (the app, this computer,
// sync, the store, permissions and the bonus tools) and "preferences.txt"
// (the layout in effect and every written setting). One fact per line, for a
// person to read; nothing here changes anything.
namespace SupportSummary {

// `syncLog` is the report's "sync.log", read back to count sync resets.
QString summary(AppModel &model, Defaults &defaults, const QString &syncLog);
// `connectedScreenIDs`: the screens plugged in now.
QString preferencesText(const Defaults &defaults, const QStringList &connectedScreenIDs);

// Pieces, for their tests.
QStringList layoutSection(const Defaults &defaults, const QList<ScreenCardSizes::Screen> &screens,
                          const QStringList &connectedScreenIDs);
QString screenLine(const ScreenCardSizes::Screen &screen, const QString &activeID, const QStringList &connectedIDs);
QString settingLine(const QString &key, const QVariant &value);
// "Computer: <model>, <processor>", each "unknown" when the system does not tell.
QString computerLine();
// The bonus tools: their switches, shortcuts and what they are doing now.
QStringList bonusFeaturesSection(AppModel &model, const Defaults &defaults);
// The date and time of each "resetting internal state after error" line, oldest first.
QStringList syncResets(const QString &logPath);
// Decimal units, as file managers count: "Zero KB", "532 bytes", "12 KB", "3.4 MB", "1.25 GB".
QString byteSize(qint64 bytes);
QString date(const QDateTime &dateTime); // ISO 8601 in UTC

} // namespace SupportSummary

} // namespace tamo
