#pragma once

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ModelContext.h"

#include <QDateTime>

#include <functional>
#include <memory>

namespace tamo::bench {

// A history of `count` clips copied a second apart from `start`, the i-th
// made by `draftAt(i)`, saved in one transaction. A bench over a store that
// failed to fill would measure nothing, so that stops the run.
inline void fillHistory(ModelContext &context, int count, const QDateTime &start,
                        const std::function<ClipDraft(int)> &draftAt)
{
    for (int i = 0; i < count; ++i)
        context.insert(std::make_shared<ClipItem>(draftAt(i), start.addSecs(i)));
    if (!context.save())
        qFatal("filling the store failed: %s", qPrintable(context.lastError()));
}

} // namespace tamo::bench
