#pragma once

#include <QIcon>
#include <QObject>
#include <QRectF>

class QMenu;

namespace tamo {

// TamoCove's icon in the panel's status area: a left click is reported with
// the modifiers held, a right click opens the menu.
class StatusItem : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // False while the desktop has no status area to show the icon in.
    virtual bool isAvailable() const = 0;
    virtual void setIcon(const QIcon &icon) = 0;
    virtual void setToolTip(const QString &text) = 0;
    // Shown on a right click; not owned.
    virtual void setMenu(QMenu *menu) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    // Where the icon sits, in the Screens convention, for placing a panel
    // under it. Where the status area does not tell, a zero-size rectangle at
    // the pointer of the last click.
    virtual QRectF anchor() const = 0;

signals:
    void clicked(Qt::KeyboardModifiers modifiers);
};

} // namespace tamo
