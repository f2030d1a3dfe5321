#pragma once

#include "drawer/TimeScale.h"

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

namespace tamo {

class PinboardTabLabel;

// The selection capsule on its way from the tab that was selected to the one
// that is, drawn under the row's tabs; the new tab shows its own capsule
// again once it has arrived.
class GlidingGlass : public QWidget
{
    Q_OBJECT

public:
    GlidingGlass(TimeScale timeScale, QWidget *row);

    void glide(PinboardTabLabel *from, PinboardTabLabel *to);
    bool isGliding() const { return m_motion.state() == QAbstractAnimation::Running; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void arrive();
    // A tab's place in the row.
    QRectF placeOf(const PinboardTabLabel *label) const;

    QVariantAnimation m_motion;
    QPointer<PinboardTabLabel> m_to;
    QRectF m_fromRect;
    QColor m_fromFill;
};

} // namespace tamo
