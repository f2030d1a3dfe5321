#pragma once

#include <QWidget>

#include <functional>

namespace tamo {

// The switcher's window: a pop-up above every other window that takes the
// keyboard and the pointer while it shows, without the window manager making
// TamoCove the active app. A click anywhere else closes it; one on another
// window of ours (the tray icon) then goes on to that window.
class SwitcherPanel : public QWidget
{
    Q_OBJECT
public:
    explicit SwitcherPanel(qreal cardInset, qreal cornerRadius);

    // Returns true for a key it used; other keys go on as usual.
    std::function<bool(const QKeyEvent &)> onKey;
    // The panel went away, whoever closed it.
    std::function<void()> onHidden;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    qreal m_cardInset;
    qreal m_cornerRadius;
};

} // namespace tamo
