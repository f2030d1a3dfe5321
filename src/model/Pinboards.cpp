#include "model/Pinboards.h"

#include "model/ClipItem.h"
#include "model/ModelContext.h"
#include "model/PinboardPalette.h"

#include <QHash>

#include <algorithm>

namespace tamo {

namespace {

using Compare = FetchDescriptor::Compare;

constexpr QLatin1StringView untitled{"Untitled"};

// Sorted here, not by the store, so that positions moved during a drag
// show before they are saved.
QList<PinboardPtr> byOrder(ModelContext &context)
{
    QList<PinboardPtr> pinboards = context.fetch<Pinboard>(FetchDescriptor().sorted(Pinboard::OrderColumn, true));
    std::stable_sort(pinboards.begin(), pinboards.end(),
                     [](const PinboardPtr &a, const PinboardPtr &b) { return a->order() < b->order(); });
    return pinboards;
}

} // namespace

Pinboards::Pinboards(ModelContext &context)
    : m_context(context)
{
}

QList<PinboardPtr> Pinboards::orderedPinboards() const
{
    return Pinboard::uniquedByID(byOrder(m_context));
}

QList<PinboardPtr> Pinboards::pinboardWithID(const QUuid &id) const
{
    return m_context.fetch<Pinboard>(FetchDescriptor().where(Pinboard::IdColumn, Compare::equal, id));
}

PinboardPtr Pinboards::newPinboard()
{
    const QList<PinboardPtr> existing = orderedPinboards();
    const int colorIndex = int(existing.size() % pinboardPalette().size());
    const int order = existing.isEmpty() ? 0 : existing.last()->order() + 1;
    auto pinboard = std::make_shared<Pinboard>(untitled, colorIndex, order);
    m_context.insert(pinboard);
    m_context.save();
    return pinboard;
}

void Pinboards::commitRename(Pinboard &pinboard)
{
    const QString name = pinboard.name().trimmed();
    pinboard.setName(name.isEmpty() ? untitled : name);
    m_context.save();
}

void Pinboards::setColor(int colorIndex, Pinboard &pinboard)
{
    pinboard.setColorIndex(colorIndex);
    m_context.save();
}

QList<QUuid> Pinboards::deletePinboard(const PinboardPtr &pinboard)
{
    const QUuid id = pinboard->id();
    QList<QUuid> unpinned;
    const auto clips = m_context.fetch<ClipItem>(FetchDescriptor().where(ClipItem::PinboardIDColumn, Compare::equal, id));
    for (const ClipItemPtr &clip : clips) {
        clip->setPin(std::nullopt, std::nullopt);
        unpinned.append(clip->id());
    }
    m_context.remove(pinboard); // may never have been saved, so no fetch finds it
    for (const PinboardPtr &record : pinboardWithID(id))
        m_context.remove(record);
    if (!m_context.save())
        return {};
    return unpinned;
}

void Pinboards::movePinboard(const QUuid &draggedID, const QUuid &targetID)
{
    const QList<PinboardPtr> records = byOrder(m_context);
    QList<PinboardPtr> shown = Pinboard::uniquedByID(records);
    const auto positionOf = [&shown](const QUuid &id) {
        const auto found = std::find_if(shown.cbegin(), shown.cend(),
                                        [&id](const PinboardPtr &pinboard) { return pinboard->id() == id; });
        return found == shown.cend() ? -1 : int(found - shown.cbegin());
    };
    const int from = positionOf(draggedID);
    const int to = positionOf(targetID);
    if (from < 0 || to < 0 || from == to)
        return;
    shown.move(from, to);

    QHash<QUuid, int> positions;
    for (int i = 0; i < shown.size(); ++i)
        positions.insert(shown[i]->id(), i);
    // Duplicates of an id move with it, so a stale twin never sorts ahead.
    for (const PinboardPtr &record : records)
        record->setOrder(positions.value(record->id()));
}

bool Pinboards::saveOrder()
{
    return m_context.save();
}

} // namespace tamo
