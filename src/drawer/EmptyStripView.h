#pragma once

#include "drawer/DrawerEmptyState.h"

#include <QWidget>

class QLabel;

namespace tamo {

// What the drawer's row shows when no card is visible: a large light symbol
// above a short message, both in the secondary text colour.
class EmptyStripView : public QWidget
{
    Q_OBJECT

public:
    explicit EmptyStripView(QWidget *parent = nullptr);

    void setState(const DrawerEmptyState &state);
    const DrawerEmptyState &state() const { return m_state; }

private:
    DrawerEmptyState m_state;
    QLabel *m_symbol;
    QLabel *m_message;
};

} // namespace tamo
