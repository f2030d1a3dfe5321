#include "settings/SettingsIcon.h"

#include "cards/ViewStyles.h"

#include <QLinearGradient>
#include <QPainter>

namespace tamo {

namespace {

constexpr int tileSide = 20;
constexpr int symbolSide = 13;

QPixmap tile(SettingsPage page, qreal ratio)
{
    const SettingsPageInfo &info = pageInfo(page);
    QPixmap image(QSize(tileSide, tileSide) * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, tileSide);
    fill.setColorAt(0, info.colour.lighter(118));
    fill.setColorAt(1, info.colour);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0, 0, tileSide, tileSide), 5, 5);
    const QPixmap symbol = tintedSymbol(info.symbol, symbolSide, Qt::white, ratio);
    const qreal inset = (tileSide - symbolSide) / 2.0;
    painter.drawPixmap(QPointF(inset, inset), symbol);
    return image;
}

} // namespace

QIcon settingsPageIcon(SettingsPage page)
{
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0})
        icon.addPixmap(tile(page, ratio));
    return icon;
}

} // namespace tamo
