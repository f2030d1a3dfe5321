#pragma once

#include <QUuid>

namespace tamo {

class AppModel;

// What a pinboard tab does with the tab dragged onto it. The drag carries
// the dragged id for other applications only; the model's draggedPinboardID
// says which pinboard moves.
struct PinboardDropDelegate
{
    QUuid target;
    AppModel &model;

    // Moves the dragged pinboard to the target's place at once, so the row
    // reorders under the pointer; true when something moved.
    bool dropEntered() const;
    // The order is already in place: the drop only ends the drag.
    void performDrop() const;
};

// The tilt of a wiggling tab in degrees, for a wiggle phase from 0 to 1.
// Neighbouring tabs swing in opposite directions.
qreal reorderTilt(qreal phase, int order, bool reduceMotion);

} // namespace tamo
