#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tamo {

class Defaults;

// Settings enumerations, stored in user defaults by raw value; the raw values
// are a file format. Unknown raw values give nullopt.

enum class CardStyle { classic, glass };
enum class MenuBarLayout { vertical, horizontal };
enum class ShortcutTarget { drawer, menuBar };  // what the main shortcut opens
enum class PasteNotice { card, icon, none };    // what a paste shows near the pointer
enum class HistoryCapacity { day = 0, week = 1, month = 2, unlimited = 3 };

QString rawValue(CardStyle style);
QString rawValue(MenuBarLayout layout);
QString rawValue(ShortcutTarget target);
QString rawValue(PasteNotice notice);
int rawValue(HistoryCapacity capacity);

std::optional<CardStyle> cardStyleFromRaw(QStringView raw);
std::optional<MenuBarLayout> menuBarLayoutFromRaw(QStringView raw);
std::optional<ShortcutTarget> shortcutTargetFromRaw(QStringView raw);
std::optional<PasteNotice> pasteNoticeFromRaw(QStringView raw);
std::optional<HistoryCapacity> historyCapacityFromRaw(qint64 raw);

QString displayName(HistoryCapacity capacity);  // "Day", "Week", "Month", "Unlimited"

// The stored "pasteNotice"; card when missing or unknown.
PasteNotice currentPasteNotice(const Defaults &defaults);

// The stored "historyCapacity"; month when missing or not a whole number 0 to 3.
HistoryCapacity currentHistoryCapacity(const Defaults &defaults);

} // namespace tamo
