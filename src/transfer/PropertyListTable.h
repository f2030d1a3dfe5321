#pragma once

#include <QByteArrayView>

#include <optional>

namespace tamo {

// One object of a binary property list as its table lays it out: where its
// bytes are and where its references are.
struct PropertyListObject
{
    enum Type : quint8 { data = 0x4, asciiString = 0x5, utf16String = 0x6, array = 0xa, dictionary = 0xd };

    quint8 type = 0;
    quint64 payloadAt = 0;
    quint64 payloadBytes = 0;
    quint64 referencesAt = 0;
    quint64 referenceCount = 0;
    quint64 keyCount = 0; // of a dictionary: its first references
    bool holdsNul = false; // a string with a NUL character
};

// The trailer and offset table of a binary property list, read in place:
// every object and reference it hands out lies within the bytes, and
// nothing is copied. The bytes must outlive it.
class PropertyListTable
{
public:
    // Nothing for bytes without a well-formed header, trailer and table.
    static std::optional<PropertyListTable> read(QByteArrayView bytes);

    quint64 count() const { return m_count; }
    quint64 root() const { return m_root; }

    // Nothing for an index beyond the table or an object that does not fit.
    std::optional<PropertyListObject> object(quint64 index) const;
    // The index a reference holds; the caller checks it against count().
    quint64 reference(const PropertyListObject &object, quint64 position) const;
    QByteArrayView payload(const PropertyListObject &object) const;

private:
    explicit PropertyListTable(QByteArrayView bytes) : m_data(reinterpret_cast<const uchar *>(bytes.data())) {}

    std::optional<quint64> extendedLength(quint64 &at) const;
    bool holdsNul(quint64 at, quint64 length, quint64 unit) const;

    const uchar *m_data;
    int m_offsetSize = 0;
    int m_referenceSize = 0;
    quint64 m_count = 0;
    quint64 m_root = 0;
    quint64 m_tableAt = 0;
};

} // namespace tamo
