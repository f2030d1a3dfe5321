#pragma once

#include "transfer/PropertyList.h"

#include <QList>

#include <utility>

namespace tamo {

// A keyed archive, the property list macOS apps write their objects into:
// every object sits once in a flat table ("$objects") and refers to the
// others by index (UID), with "$top" naming the root. Only references one
// step at a time are followed, so cycles in the table cannot make a reader
// loop; a reference to a reference, out of range or to "$null" reads as
// nothing.
class KeyedArchive
{
public:
    static constexpr quint32 maxObjects = 1u << 20;

    static std::optional<KeyedArchive> parse(QByteArrayView bytes);

    plist_t root() const { return m_root; }
    // The object a value refers to; a value that is no reference is itself.
    plist_t resolve(plist_t value) const;

    std::optional<QString> className(plist_t object) const;
    // NSArray and NSMutableArray: their elements, each resolved; nothing when
    // one is missing.
    std::optional<QList<plist_t>> array(plist_t object) const;
    // NSDictionary and NSMutableDictionary: their keys and values, resolved.
    std::optional<QList<std::pair<plist_t, plist_t>>> dictionary(plist_t object) const;
    // A data value, or NSData and NSMutableData.
    std::optional<QByteArray> data(plist_t object) const;
    // A string value, or NSString and NSMutableString.
    std::optional<QString> string(plist_t object) const;

private:
    KeyedArchive(PropertyList list, plist_t objects) : m_list(std::move(list)), m_objects(objects) {}
    bool isClass(plist_t object, const char *name, const char *mutableName) const;
    std::optional<QList<plist_t>> references(plist_t list) const;

    PropertyList m_list;
    plist_t m_objects = nullptr;
    plist_t m_root = nullptr;
};

} // namespace tamo
