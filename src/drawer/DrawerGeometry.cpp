#include "drawer/DrawerGeometry.h"

#include <algorithm>
#include <cmath>

namespace tamo::DrawerGeometry {

namespace {

// QRectF's top() is the lower edge in this convention; these say what they mean.
qreal minY(const QRectF &rect) { return rect.y(); }
qreal maxY(const QRectF &rect) { return rect.y() + rect.height(); }

qreal area(const QRectF &rect) { return rect.width() * rect.height(); }

} // namespace

int stripHeight(double cardScale)
{
    constexpr int smallest = 328;
    if (cardScale <= 0.75)
        return smallest;
    return int(std::round(std::min(cardScale, 1.5) * 304)) + 100;
}

QRectF stripFrame(const QRectF &screenFrame, double cardScale)
{
    return {screenFrame.x() + stripInset, minY(screenFrame) + stripInset, screenFrame.width() - 2 * stripInset,
            qreal(stripHeight(cardScale))};
}

std::optional<QRectF> usablePreviewFrame(const QRectF &stored, const QList<ScreenInfo> &screens)
{
    if (stored.width() < previewMinimumSize.width() || stored.height() < previewMinimumSize.height())
        return std::nullopt;
    // Only the first screen it touches counts, even when a later one holds more of it.
    const auto touched = std::find_if(screens.cbegin(), screens.cend(), [&stored](const ScreenInfo &screen) {
        return screen.visibleFrame.intersects(stored);
    });
    if (touched == screens.cend())
        return std::nullopt;
    if (area(touched->visibleFrame.intersected(stored)) < area(stored) / 2)
        return std::nullopt;
    return stored;
}

QRectF centredPreviewFrame(const QRectF &visibleFrame, const std::optional<QRectF> &shownStrip)
{
    constexpr qreal margin = 40;
    QRectF area = visibleFrame;
    if (shownStrip) {
        const qreal bandBottom
            = std::min(maxY(area) - previewMinimumSize.height() - margin, maxY(*shownStrip));
        area = QRectF(area.x(), bandBottom, area.width(), maxY(area) - bandBottom);
    }
    const qreal width = std::min(area.width() - margin, previewSize.width());
    const qreal height = std::min(area.height() - margin, previewSize.height());
    const QPointF centre = area.center();
    return integralRect({centre.x() - width / 2, centre.y() - height / 2, width, height});
}

QRectF integralRect(const QRectF &rect)
{
    const qreal left = std::floor(rect.x());
    const qreal bottom = std::floor(minY(rect));
    const qreal right = std::ceil(rect.x() + rect.width());
    const qreal top = std::ceil(maxY(rect));
    return {left, bottom, right - left, top - bottom};
}

std::optional<ScreenInfo> screenHolding(const QRectF &frame, const QList<ScreenInfo> &screens)
{
    std::optional<ScreenInfo> best;
    qreal bestArea = 0;
    for (const ScreenInfo &screen : screens) {
        const qreal shared = area(screen.frame.intersected(frame));
        if (shared > bestArea) {
            bestArea = shared;
            best = screen;
        }
    }
    return best;
}

} // namespace tamo::DrawerGeometry
