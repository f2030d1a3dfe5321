#pragma once

#include <QWidget>

namespace tamo {

// The glass capsule around the menu-bar search row, ringed in the accent
// colour while the search has focus. A press anywhere on it asks for focus.
class SearchCapsule : public QWidget
{
    Q_OBJECT

public:
    explicit SearchCapsule(QWidget *parent = nullptr);

    void setFocusRingShown(bool shown);
    bool isFocusRingShown() const { return m_ringShown; }

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    bool m_ringShown = false;
};

} // namespace tamo
