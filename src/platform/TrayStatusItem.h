#pragma once

#include "platform/StatusItem.h"

#include <QPointF>
#include <QSystemTrayIcon>

#include <optional>

namespace tamo {

class Screens;

// A QSystemTrayIcon: XEmbed trays tell where the icon is, StatusNotifierItem
// hosts do not, so the click position stands in for the anchor there.
class TrayStatusItem final : public StatusItem
{
    Q_OBJECT
public:
    explicit TrayStatusItem(const Screens &screens, QObject *parent = nullptr);

    bool isAvailable() const override;
    void setIcon(const QIcon &icon) override;
    void setToolTip(const QString &text) override;
    void setMenu(QMenu *menu) override;
    void setVisible(bool visible) override;
    bool isVisible() const override;
    QRectF anchor() const override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    const Screens &m_screens;
    QSystemTrayIcon m_tray;
    std::optional<QPointF> m_lastClick;
};

} // namespace tamo
