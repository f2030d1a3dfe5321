#pragma once

namespace tamo {

// Rounds to the nearest half point, halves away from zero: the card's font
// sizes step in half points.
double roundToHalf(double value);

// How large a clip card is drawn: a factor of the drawer's 304-point card.
// The card does not clamp it; each panel picks its own range.
struct CardSize
{
    double scale = 1.0;

    int side() const;           // the card is a square
    int headerHeight() const;
    double labelPointSize() const;
    // The copied text follows the text scale (clamped to 0.75…1.75); the
    // label does not.
    double textPointSize(double textScale) const;

    static constexpr int baseSide = 304;
    static constexpr int baseHeaderHeight = 68;
    static constexpr double baseLabelPointSize = 13;
};

} // namespace tamo
