#include "cards/CardAppearance.h"

namespace tamo {

namespace {

// Secondary text is the label toned down, as desktop themes rarely name a
// colour of their own for it.
constexpr float secondaryOpacity = 0.55f;

} // namespace

CardColors CardColors::from(const QPalette &palette)
{
    CardColors colors;
    colors.window = palette.color(QPalette::Window);
    colors.surface = palette.color(QPalette::Base);
    colors.label = palette.color(QPalette::WindowText);
    colors.secondaryLabel = colors.label;
    colors.secondaryLabel.setAlphaF(secondaryOpacity);
    colors.highlight = palette.color(QPalette::Highlight);
    colors.link = palette.color(QPalette::Link);
    colors.isDark = colors.window.lightnessF() < 0.5;
    return colors;
}

} // namespace tamo
