#pragma once

#include <QString>

// Who this program is, for texts, the update feed and the support report.
namespace tamo::product {

inline const QString name = QStringLiteral("TamoCove");
// The desktop entry id, which stands for the bundle identifier of other apps.
inline const QString bundleID = QStringLiteral("tamocove");

// Set by the build; "?" and 0 when it gives none.
QString version();
int build();

// "42" is 42; a leading sign is allowed; anything else, empty or out of range is 0.
int parseBuild(const QString &text);

} // namespace tamo::product
