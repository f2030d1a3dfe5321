#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace tamo {

// The four bonus tools a tour page can switch.
enum class BonusFeature { windowSwitcher, windowSize, middleClick, inputSource };

// One page of the feature tour.
struct TourPage
{
    QString image; // the illustration's artwork name
    QString title;
    QString text;  // empty on the shortcut page
    bool showsShortcutComparison = false;
    std::optional<BonusFeature> bonus;
    bool offersDirectPaste = false;
};

namespace FeatureTourPages {

// The tour's version: seen once per version, stored under "whatsNewShown".
inline const QString version = QStringLiteral("1.74");

// Newest features first; Direct Paste leads, the bonus tools close.
const QList<TourPage> &pages();

} // namespace FeatureTourPages

} // namespace tamo
