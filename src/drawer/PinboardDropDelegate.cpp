#include "drawer/PinboardDropDelegate.h"

#include "app/AppModel.h"

namespace tamo {

namespace {

constexpr qreal maxTilt = 1.6;

} // namespace

bool PinboardDropDelegate::dropEntered() const
{
    const QUuid dragged = model.draggedPinboardID();
    if (dragged.isNull() || dragged == target)
        return false;
    model.movePinboard(dragged, target);
    return true;
}

void PinboardDropDelegate::performDrop() const
{
    model.setDraggedPinboardID({});
}

qreal reorderTilt(qreal phase, int order, bool reduceMotion)
{
    if (reduceMotion)
        return 0;
    const qreal tilt = maxTilt * (2 * phase - 1);
    return order % 2 == 0 ? tilt : -tilt;
}

} // namespace tamo
