#pragma once

#include "drawer/DrawerEmptyState.h"

#include <QWidget>

class QLabel;

namespace tamo {

// What the drawer's row, or the menu-bar panel's cards, show when no card
// is visible: a large light symbol above a short message, both in the
// secondary text colour.
class EmptyStripView : public QWidget
{
    Q_OBJECT

public:
    struct Metrics
    {
        double symbolPoints;
        double messagePoints;
    };
    static constexpr Metrics drawer{34, 14};
    static constexpr Metrics menuBar{30, 13};

    explicit EmptyStripView(QWidget *parent = nullptr, Metrics metrics = drawer);

    void setState(const DrawerEmptyState &state);
    const DrawerEmptyState &state() const { return m_state; }

private:
    Metrics m_metrics;
    DrawerEmptyState m_state;
    QLabel *m_symbol;
    QLabel *m_message;
};

} // namespace tamo
