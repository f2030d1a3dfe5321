#include "cards/GlassSurface.h"

#include "cards/GlassRim.h"
#include "platform/Compositor.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>

namespace tamo {

namespace {

const Compositor *installedCompositor = nullptr;

// Nothing behind our windows is blurred on X11, so the fill stays dense
// enough to read text over a busy background.
constexpr float fillOpacity = 0.82f;
// The highlight fades out over the top part of the surface.
constexpr qreal highlightDepth = 0.4;
constexpr float lightHighlightOpacity = 0.35f;
constexpr float darkHighlightOpacity = 0.07f;

bool isDark(const QColor &color)
{
    return color.lightnessF() < 0.5;
}

void paintHighlight(QPainter &painter, const QPainterPath &shape, bool dark)
{
    const QRectF bounds = shape.boundingRect();
    QLinearGradient gradient(bounds.topLeft(),
                             QPointF(bounds.left(), bounds.top() + bounds.height() * highlightDepth));
    gradient.setColorAt(0, QColor::fromRgbF(1, 1, 1, dark ? darkHighlightOpacity : lightHighlightOpacity));
    gradient.setColorAt(1, QColor::fromRgbF(1, 1, 1, 0));
    painter.fillPath(shape, gradient);
}

} // namespace

GlassStyle GlassStyle::current()
{
    GlassStyle style;
    style.base = QGuiApplication::palette().color(QPalette::Window);
    style.translucent = translucencyAvailable();
    return style;
}

void setCompositor(const Compositor *compositor)
{
    installedCompositor = compositor;
}

bool translucencyAvailable()
{
    return installedCompositor && installedCompositor->isRunning();
}

void paintGlass(QPainter &painter, const QPainterPath &shape, const GlassStyle &style)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QColor fill = style.base;
    fill.setAlphaF(style.translucent ? fillOpacity : 1);
    painter.fillPath(shape, fill);
    if (style.tint.isValid())
        painter.fillPath(shape, style.tint);
    paintHighlight(painter, shape, isDark(style.base));

    if (style.rimOpacity > 0) {
        painter.setOpacity(painter.opacity() * style.rimOpacity);
        GlassRim{shape}.paint(painter);
    }
    painter.restore();
}

} // namespace tamo
