#pragma once

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"

#include <QDateTime>

#include <algorithm>
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

// The same history in the store in `folder`, saved 50,000 clips at a time so
// a million of them never sit in memory at once.
inline void fillStore(const QString &folder, int count, const std::function<ClipDraft(int)> &draftAt)
{
    constexpr int batch = 50'000;
    ModelContainer container(folder);
    const QDateTime start = QDateTime::currentDateTime().addSecs(-count);
    for (int first = 0; first < count; first += batch) {
        fillHistory(container.mainContext(), std::min(batch, count - first), start.addSecs(first),
                    [&](int i) { return draftAt(first + i); });
    }
}

} // namespace tamo::bench
