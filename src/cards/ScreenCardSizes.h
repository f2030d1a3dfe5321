#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tamo {

class Defaults;
struct ScreenInfo;

// Card size and font size remembered per screen and resolution. The globals
// "cardScale" and "cardTextScale" always hold the active screen's values; its
// stored entry catches up when another screen is activated.
namespace ScreenCardSizes {

struct Screen
{
    QString id;
    QString name;
    int width = 0;
    int height = 0;
    double cardScale = 1.0;
    double textScale = 1.0;

    // "Name, 1512 × 982"
    QString label() const;

    bool operator==(const Screen &) const = default;
};

// "vendor-model-serial WxH": an opaque key, also used for per-screen window sizes.
QString screenID(const ScreenInfo &screen);

// Adds an entry, holding the current global sizes, for each screen not yet known.
void remember(Defaults &defaults, const QList<ScreenInfo> &screens);

// Makes the screen active: the globals are stored under the screen that was
// active and replaced by the new screen's stored sizes.
void activate(Defaults &defaults, const QString &id);

// The remembered screens, those connected first, each group by label; the
// active screen shows the live global sizes.
QList<Screen> screens(const Defaults &defaults, const QStringList &connectedIDs);

} // namespace ScreenCardSizes

} // namespace tamo
