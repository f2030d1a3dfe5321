#pragma once

#include <QString>

// The numbers the card size and font size controls show, from the stored
// factors. Out-of-range factors (set elsewhere) are shown as they are but
// sized within the sliders' range; a value that is not a number reads 1.
namespace tamo::CardScaleTexts {

inline constexpr double cardSizeMin = 0.75;
inline constexpr double cardSizeMax = 1.5;
inline constexpr double textSizeMin = 0.75;
inline constexpr double textSizeMax = 1.75;

// A slider value this close to 1 is stored as exactly 1.
double snapped(double value);
// The factor as a whole percentage, rounded half away from zero.
int percentage(double scale);
// The side of the card in points: 228 to 456.
int cardSide(double cardScale);
// The cards' text size in points, to the nearest half point.
double previewPointSize(double textScale, double cardScale);

// "304 × 304 pt · 100%"
QString cardSizeText(double cardScale);
// "13 pt · 100%", "16.5 pt · 125%"
QString fontSizeText(double textScale, double cardScale);

} // namespace tamo::CardScaleTexts
