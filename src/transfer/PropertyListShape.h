#pragma once

#include <QByteArrayView>
#include <QList>

#include <optional>

namespace tamo {

// What a binary property list unfolds into, found by walking its object
// table without recursion before the list library (whose reader recurses,
// and copies an object once per reference) is handed the bytes.
struct PropertyListShape
{
    // Dictionary keys that hold a NUL would be cut there by the library, so
    // "a\0b" would answer a lookup of "a": clearing these bytes (each such
    // key's first character) makes them empty keys, which no lookup asks for.
    QList<qsizetype> keyBytesToClear;
};

// The deepest nesting, the most objects and the most bytes a list may
// unfold into, each object counted with what the library spends on it
// beside its bytes (its node, its value and its list of children).
inline constexpr int maxPropertyListDepth = 128;
inline constexpr quint64 maxPropertyListNodes = 1u << 22;
inline constexpr quint64 maxPropertyListBytes = 256u * 1024 * 1024;
inline constexpr quint64 propertyListNodeBytes = 160;

// Nothing for bytes that are no well-formed binary property list, hold a
// cycle, or unfold deeper or larger than the limits above.
std::optional<PropertyListShape> propertyListShape(QByteArrayView bytes);

} // namespace tamo
