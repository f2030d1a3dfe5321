#include "transfer/PropertyListShape.h"

#include <QByteArray>

#include <algorithm>
#include <vector>

namespace tamo {

namespace {

constexpr qsizetype headerSize = 8;
constexpr qsizetype trailerSize = 32;

enum class State : quint8 { unseen, open, done };

quint64 bigEndian(const uchar *at, int size)
{
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | at[i];
    return value;
}

quint32 saturated(quint64 value, quint64 limit)
{
    return quint32(std::min(value, limit + 1));
}

// One object as the table lays it out: how many bytes it holds and where
// its references are.
struct Object
{
    quint8 type = 0;
    quint64 payloadAt = 0;
    quint64 payloadBytes = 0;
    quint64 referencesAt = 0;
    quint64 referenceCount = 0;
    quint64 keyCount = 0; // of a dictionary: its first references
    bool holdsNul = false; // a string with a NUL character
};

class ObjectTable
{
public:
    static std::optional<ObjectTable> read(QByteArrayView bytes)
    {
        if (bytes.size() < headerSize + trailerSize || !bytes.startsWith(QByteArrayView("bplist00")))
            return std::nullopt;
        ObjectTable table(bytes);
        const uchar *trailer = table.m_data + bytes.size() - trailerSize;
        table.m_offsetSize = trailer[6];
        table.m_referenceSize = trailer[7];
        table.m_count = bigEndian(trailer + 8, 8);
        table.m_root = bigEndian(trailer + 16, 8);
        table.m_tableAt = bigEndian(trailer + 24, 8);
        const quint64 end = quint64(bytes.size() - trailerSize);
        const bool sizesValid = table.m_offsetSize >= 1 && table.m_offsetSize <= 8 && table.m_referenceSize >= 1
                                && table.m_referenceSize <= 8;
        if (!sizesValid || table.m_count == 0 || table.m_count > maxPropertyListNodes || table.m_root >= table.m_count
            || table.m_tableAt < quint64(headerSize) || table.m_tableAt > end
            || table.m_count > (end - table.m_tableAt) / table.m_offsetSize)
            return std::nullopt;
        return table;
    }

    quint64 count() const { return m_count; }
    quint64 root() const { return m_root; }

    std::optional<Object> object(quint64 index) const
    {
        const quint64 offset = bigEndian(m_data + m_tableAt + index * m_offsetSize, m_offsetSize);
        if (offset < quint64(headerSize) || offset >= m_tableAt)
            return std::nullopt;
        const quint8 marker = m_data[offset];
        const quint8 info = marker & 0x0f;
        quint64 at = offset + 1;
        Object object;
        object.type = marker >> 4;
        std::optional<quint64> length = info;
        if (info == 0x0f && object.type >= 0x4 && object.type != 0x8)
            length = extendedLength(at);
        if (!length)
            return std::nullopt;
        quint64 unit = 1;
        switch (object.type) {
        case 0x0: // null, booleans, fill
            length = 0;
            break;
        case 0x1: // integer
        case 0x2: // real
            if (info > 4)
                return std::nullopt;
            length = quint64(1) << info;
            break;
        case 0x3: // date
            length = 8;
            break;
        case 0x4: // data
        case 0x5: // ASCII string
            break;
        case 0x6: // UTF-16 string
            unit = 2;
            break;
        case 0x8: // UID
            length = quint64(info) + 1;
            break;
        case 0xa: // array
        case 0xc: // set
            unit = m_referenceSize;
            break;
        case 0xd: // dictionary: its keys, then its values
            unit = 2 * quint64(m_referenceSize);
            object.keyCount = *length;
            break;
        default:
            return std::nullopt;
        }
        if (*length > (m_tableAt - at) / unit)
            return std::nullopt;
        if (object.type >= 0xa) {
            object.referencesAt = at;
            object.referenceCount = object.type == 0xd ? 2 * *length : *length;
        } else {
            object.payloadAt = at;
            object.payloadBytes = *length * unit;
            object.holdsNul = (object.type == 0x5 || object.type == 0x6) && holdsNul(at, *length, unit);
        }
        return object;
    }

    quint64 reference(const Object &object, quint64 position) const
    {
        return bigEndian(m_data + object.referencesAt + position * m_referenceSize, m_referenceSize);
    }

private:
    explicit ObjectTable(QByteArrayView bytes) : m_data(reinterpret_cast<const uchar *>(bytes.data())) {}

    // A count too large for the marker follows it as an integer object.
    std::optional<quint64> extendedLength(quint64 &at) const
    {
        if (at >= m_tableAt || (m_data[at] >> 4) != 0x1 || (m_data[at] & 0x0f) > 3)
            return std::nullopt;
        const int size = 1 << (m_data[at] & 0x0f);
        if (at + 1 + quint64(size) > m_tableAt)
            return std::nullopt;
        const quint64 value = bigEndian(m_data + at + 1, size);
        at += 1 + quint64(size);
        return value;
    }

    bool holdsNul(quint64 at, quint64 length, quint64 unit) const
    {
        for (quint64 i = 0; i < length; ++i) {
            const uchar *character = m_data + at + i * unit;
            if (character[0] == 0 && (unit == 1 || character[1] == 0))
                return true;
        }
        return false;
    }

    const uchar *m_data;
    int m_offsetSize = 0;
    int m_referenceSize = 0;
    quint64 m_count = 0;
    quint64 m_root = 0;
    quint64 m_tableAt = 0;
};

} // namespace

std::optional<PropertyListShape> propertyListShape(QByteArrayView bytes)
{
    const std::optional<ObjectTable> table = ObjectTable::read(bytes);
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
        Object object;
        quint64 next = 0;
    };
    std::vector<Frame> path;
    PropertyListShape shape;

    auto enter = [&](quint64 index) {
        const std::optional<Object> object = table->object(index);
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
        quint64 unfoldedBytes = frame.object.payloadBytes;
        for (quint64 i = 0; i < frame.object.referenceCount; ++i) {
            const quint64 child = table->reference(frame.object, i);
            deepest = std::max<quint64>(deepest, depth[child]);
            unfoldedNodes += nodes[child];
            unfoldedBytes += payload[child];
            if (i < frame.object.keyCount && holdsNul[child]) {
                if (const std::optional<Object> key = table->object(child)) {
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
