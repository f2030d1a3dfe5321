#include "transfer/PropertyListTable.h"

#include "transfer/PropertyListShape.h"

namespace tamo {

namespace {

constexpr qsizetype headerSize = 8;
constexpr qsizetype trailerSize = 32;

quint64 bigEndian(const uchar *at, int size)
{
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | at[i];
    return value;
}

} // namespace

std::optional<PropertyListTable> PropertyListTable::read(QByteArrayView bytes)
{
    if (bytes.size() < headerSize + trailerSize || !bytes.startsWith(QByteArrayView("bplist00")))
        return std::nullopt;
    PropertyListTable table(bytes);
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

std::optional<PropertyListObject> PropertyListTable::object(quint64 index) const
{
    if (index >= m_count)
        return std::nullopt;
    const quint64 offset = bigEndian(m_data + m_tableAt + index * m_offsetSize, m_offsetSize);
    if (offset < quint64(headerSize) || offset >= m_tableAt)
        return std::nullopt;
    const quint8 marker = m_data[offset];
    const quint8 info = marker & 0x0f;
    quint64 at = offset + 1;
    PropertyListObject object;
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
    case PropertyListObject::data:
    case PropertyListObject::asciiString:
        break;
    case PropertyListObject::utf16String:
        unit = 2;
        break;
    case 0x8: // UID
        length = quint64(info) + 1;
        break;
    case PropertyListObject::array:
    case 0xc: // set
        unit = m_referenceSize;
        break;
    case PropertyListObject::dictionary: // its keys, then its values
        unit = 2 * quint64(m_referenceSize);
        object.keyCount = *length;
        break;
    default:
        return std::nullopt;
    }
    if (*length > (m_tableAt - at) / unit)
        return std::nullopt;
    if (object.type >= PropertyListObject::array) {
        object.referencesAt = at;
        object.referenceCount = object.type == PropertyListObject::dictionary ? 2 * *length : *length;
    } else {
        object.payloadAt = at;
        object.payloadBytes = *length * unit;
        object.holdsNul = (object.type == PropertyListObject::asciiString
                           || object.type == PropertyListObject::utf16String)
                          && holdsNul(at, *length, unit);
    }
    return object;
}

quint64 PropertyListTable::reference(const PropertyListObject &object, quint64 position) const
{
    return bigEndian(m_data + object.referencesAt + position * m_referenceSize, m_referenceSize);
}

QByteArrayView PropertyListTable::payload(const PropertyListObject &object) const
{
    return {reinterpret_cast<const char *>(m_data + object.payloadAt), qsizetype(object.payloadBytes)};
}

// A count too large for the marker follows it as an integer object.
std::optional<quint64> PropertyListTable::extendedLength(quint64 &at) const
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

bool PropertyListTable::holdsNul(quint64 at, quint64 length, quint64 unit) const
{
    for (quint64 i = 0; i < length; ++i) {
        const uchar *character = m_data + at + i * unit;
        if (character[0] == 0 && (unit == 1 || character[1] == 0))
            return true;
    }
    return false;
}

} // namespace tamo
