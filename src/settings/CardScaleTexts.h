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
// The side of the card in logical pixels: 228 to 456.
int cardSide(double cardScale);
// The cards' text size in logical pixels, to the nearest half.
double previewPointSize(double textScale, double cardScale);

// Shown in device pixels at the screen's scale: "304 × 304 px · 100%" at 1,
// "608 × 608 px · 100%" at 2.
QString cardSizeText(double cardScale, double pixelRatio);
// "13 px · 100%", "16.5 px · 125%"
QString fontSizeText(double textScale, double cardScale, double pixelRatio);

} // namespace tamo::CardScaleTexts
