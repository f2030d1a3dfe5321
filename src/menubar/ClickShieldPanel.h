#pragma once

#include <QWidget>

namespace tamo {

// An invisible window that swallows clicks: put where the menu-bar panel was
// after a paste by click, it keeps the rest of a double click away from the
// window about to receive the paste. It never takes the keyboard.
class ClickShieldPanel final : public QWidget
{
    Q_OBJECT

public:
    ClickShieldPanel();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace tamo
