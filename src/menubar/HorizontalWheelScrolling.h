#pragma once

#include <QObject>
#include <QPointer>

class QAbstractScrollArea;

namespace tamo {

// Lets an ordinary vertical mouse wheel scroll a horizontal row: mostly
// vertical wheel turns over the row move it sideways, a notch by 12 per
// line, a touchpad by its exact pixels. Mostly sideways gestures keep their
// normal course. Works while it lives.
class HorizontalWheelScrolling final : public QObject
{
    Q_OBJECT

public:
    explicit HorizontalWheelScrolling(QAbstractScrollArea *row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QAbstractScrollArea> m_row;
};

} // namespace tamo
