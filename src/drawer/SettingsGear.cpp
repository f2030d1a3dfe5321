#include "drawer/SettingsGear.h"

#include "app/AppModel.h"
#include "cards/ViewStyles.h"
#include "platform/KeyNames.h"
#include "platform/Symbols.h"

#include <QMenu>
#include <QPainter>

namespace tamo {

namespace {

constexpr int circleSide = 24;
constexpr int symbolSide = 13;
constexpr QSize gearFrame{32, 30};

} // namespace

SettingsGear::SettingsGear(AppModel &model, QWidget *parent)
    : QToolButton(parent)
    , m_model(model)
{
    const QIcon gear = symbolOnDisc(QStringLiteral("gearshape.fill"), symbolSide, circleSide, QColor(Qt::gray),
                                    devicePixelRatioF());
    auto *settings = new QAction(gear, QString(), this);
    connect(settings, &QAction::triggered, this, [this] { m_model.showPreferences(); });
    setDefaultAction(settings);
    setToolTip(QStringLiteral("Settings (%1) — press and hold for more").arg(keyNames(QStringLiteral("⌘,"))));
    setAccessibleName(QStringLiteral("Settings"));
    setMenu(makeMenu());
    setPopupMode(QToolButton::DelayedPopup);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus); // the row keeps the keyboard
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
    menu->addAction(symbolIcon(QStringLiteral("power")), QStringLiteral("Quit TamoCove"), this,
                    [this] { m_model.quit(); });
    return menu;
}

} // namespace tamo
