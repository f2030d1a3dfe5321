#pragma once

#include "cards/CardSize.h"
#include "model/Pinboard.h"

#include <QDateTime>
#include <QHash>
#include <QUuid>

namespace tamo {

// What the cards of one strip or grid share.
struct CardGroupLook
{
    CardSize size;
    QHash<QUuid, PinboardPtr> pinboardTags; // by pinboard id
    QDateTime agesAt;                       // one moment for the ages of all cards shown
};

} // namespace tamo
