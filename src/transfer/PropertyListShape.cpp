#include "transfer/PropertyListShape.h"

#include "transfer/PropertyListTable.h"

#include <QByteArray>

#include <algorithm>
#include <vector>

namespace tamo {

namespace {

enum class State : quint8 { unseen, open, done };

quint32 saturated(quint64 value, quint64 limit)
{
    return quint32(std::min(value, limit + 1));
}

} // namespace

std::optional<PropertyListShape> propertyListShape(QByteArrayView bytes)
{
    const std::optional<PropertyListTable> table = PropertyListTable::read(bytes);
    if (!table)
        return std::nullopt;
    // Per object: where the walk is, and once done what it unfolds into.
    std::vector<State> state(table->count(), State::unseen);
    std::vector<quint8> depth(table->count(), 0);
    std::vector<quint32> nodes(table->count(), 0);
    std::vector<quint32> payload(table->count(), 0);
    std::vector<bool> holdsNul(table->count(), false);
    struct Frame
    {
        quint64 index;
        PropertyListObject object;
        quint64 next = 0;
    };
    std::vector<Frame> path;
    PropertyListShape shape;

    auto enter = [&](quint64 index) {
        const std::optional<PropertyListObject> object = table->object(index);
        if (!object || path.size() >= size_t(maxPropertyListDepth))
            return false;
        state[index] = State::open;
        holdsNul[index] = object->holdsNul;
        path.push_back({index, *object});
        return true;
    };
    if (!enter(table->root()))
        return std::nullopt;
    while (!path.empty()) {
        Frame &frame = path.back();
        if (frame.next < frame.object.referenceCount) {
            const quint64 child = table->reference(frame.object, frame.next++);
            if (child >= table->count() || state[child] == State::open)
                return std::nullopt;
            if (state[child] == State::unseen && !enter(child))
                return std::nullopt;
            continue;
        }
        quint64 deepest = 0;
        quint64 unfoldedNodes = 1;
        quint64 unfoldedBytes = frame.object.payloadBytes + propertyListNodeBytes;
        for (quint64 i = 0; i < frame.object.referenceCount; ++i) {
            const quint64 child = table->reference(frame.object, i);
            deepest = std::max<quint64>(deepest, depth[child]);
            unfoldedNodes += nodes[child];
            unfoldedBytes += payload[child];
            if (i < frame.object.keyCount && holdsNul[child]) {
                if (const std::optional<PropertyListObject> key = table->object(child)) {
                    for (quint64 at = key->payloadAt; at < key->payloadAt + (key->type == 0x6 ? 2 : 1); ++at)
                        shape.keyBytesToClear.append(qsizetype(at));
                }
            }
        }
        if (deepest >= quint64(maxPropertyListDepth) || unfoldedNodes > maxPropertyListNodes
            || unfoldedBytes > maxPropertyListBytes)
            return std::nullopt;
        depth[frame.index] = quint8(deepest + 1);
        nodes[frame.index] = saturated(unfoldedNodes, maxPropertyListNodes);
        payload[frame.index] = saturated(unfoldedBytes, maxPropertyListBytes);
        state[frame.index] = State::done;
        path.pop_back();
    }
    return shape;
}

} // namespace tamo
