#include "drawer/SettingsGear.h"

#include "app/AppModel.h"
#include "cards/ViewStyles.h"
#include "platform/KeyNames.h"
#include "platform/Symbols.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPainter>

namespace tamo {

namespace {

constexpr int circleSide = 24;
constexpr int symbolSide = 13;
constexpr QSize gearFrame{32, 30};

// The white gear on a grey disc.
QIcon gearIcon(qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(circleSide, circleSide) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(Qt::gray));
    painter.drawEllipse(QRectF(0, 0, circleSide, circleSide));
    const QPixmap symbol = tintedSymbol(QStringLiteral("gearshape.fill"), symbolSide, Qt::white, devicePixelRatio);
    if (!symbol.isNull()) {
        const qreal offset = (circleSide - symbolSide) / 2.0;
        painter.drawPixmap(QPointF(offset, offset), symbol);
    }
    return QIcon(pixmap);
}

} // namespace

SettingsGear::SettingsGear(AppModel &model, QWidget *parent)
    : QToolButton(parent)
    , m_model(model)
{
    auto *settings = new QAction(gearIcon(devicePixelRatioF()), QString(), this);
    connect(settings, &QAction::triggered, this, [this] { m_model.showPreferences(); });
    setDefaultAction(settings);
    setToolTip(QStringLiteral("Settings (%1) — press and hold for more").arg(keyNames(QStringLiteral("⌘,"))));
    setMenu(makeMenu());
    setPopupMode(QToolButton::DelayedPopup);
    setAutoRaise(true);
    setIconSize({circleSide, circleSide});
    setFixedSize(gearFrame);
    setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
}

QMenu *SettingsGear::makeMenu()
{
    auto *menu = new QMenu(this);
    menu->addAction(symbolIcon(QStringLiteral("gearshape")), QStringLiteral("Settings…"), this,
                    [this] { m_model.showPreferences(); });
    QMenu *clear = menu->addMenu(symbolIcon(QStringLiteral("trash")), QStringLiteral("Clear History"));
    clear->addAction(QStringLiteral("Last 24 Hours…"), this, [this] { m_model.clearLast24Hours(); });
    clear->addAction(QStringLiteral("All History…"), this, [this] { m_model.clearHistory(); });
    menu->addSeparator();
    menu->addAction(symbolIcon(QStringLiteral("info.circle")), QStringLiteral("About TamoCove"), this,
                    [this] { m_model.showAbout(); });
    menu->addAction(symbolIcon(QStringLiteral("arrow.down.circle")), QStringLiteral("Check for Updates…"), this,
                    [this] { m_model.checkForUpdates(); });
    menu->addAction(symbolIcon(QStringLiteral("power")), QStringLiteral("Quit TamoCove"), qApp,
                    &QCoreApplication::quit);
    return menu;
}

} // namespace tamo
