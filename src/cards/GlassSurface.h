#pragma once

#include <QColor>
#include <QPainterPath>

class QPainter;

namespace tamo {

class Compositor;

// How a glass surface is filled.
struct GlassStyle
{
    QColor base;               // the window colour the fill is made from; light or dark follows it
    bool translucent = true;   // false paints the fill solid
    QColor tint;               // laid over the fill when valid, with its own alpha
    qreal rimOpacity = 1.0;    // 0 leaves the rim out

    // The application palette, see-through when the desktop can show it.
    static GlassStyle current();
};

// The desktop's compositor, set once at start. Until then, and with none,
// windows are taken to be opaque.
void setCompositor(const Compositor *compositor);

// Whether a window's transparent pixels show what lies beneath it.
bool translucencyAvailable();

// A glass surface in the shape: a translucent fill with a soft highlight at
// the top, then the rim. Without translucency the fill is solid, so text on
// it stays readable over a black window background.
void paintGlass(QPainter &painter, const QPainterPath &shape, const GlassStyle &style);

} // namespace tamo
