#pragma once

#include "model/Pinboard.h"

#include <QAbstractButton>

namespace tamo {

// The pinboard a search is scoped to, in the search capsule: its colour's dot
// and its name on a capsule tinted with that colour. A click widens the
// search to every clip.
class MenuBarPinboardChip final : public QAbstractButton
{
    Q_OBJECT

public:
    explicit MenuBarPinboardChip(const PinboardPtr &board, QWidget *parent = nullptr);

    const PinboardPtr &board() const { return m_board; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    PinboardPtr m_board;
};

} // namespace tamo
