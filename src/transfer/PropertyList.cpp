#include "transfer/PropertyList.h"

#include "transfer/PropertyListShape.h"
#include "transfer/StrictValues.h"

#include <plist/plist.h>

#include <limits>

namespace tamo {

void PropertyList::Free::operator()(void *node) const
{
    plist_free(node);
}

std::optional<PropertyList> PropertyList::parse(QByteArrayView bytes)
{
    if (bytes.size() > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    const std::optional<PropertyListShape> shape = propertyListShape(bytes);
    if (!shape)
        return std::nullopt;
    QByteArray cleared;
    if (!shape->keyBytesToClear.isEmpty()) {
        cleared = bytes.toByteArray();
        for (const qsizetype at : shape->keyBytesToClear)
            cleared[at] = '\0';
        bytes = cleared;
    }
    plist_t root = nullptr;
    plist_from_bin(bytes.data(), uint32_t(bytes.size()), &root);
    if (!root)
        return std::nullopt;
    return PropertyList(root);
}

std::optional<QByteArray> PropertyList::data(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_DATA)
        return std::nullopt;
    uint64_t length = 0;
    const char *bytes = plist_get_data_ptr(node, &length);
    return QByteArray(bytes, qsizetype(length));
}

std::optional<QString> PropertyList::string(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(node, &length);
    return strict::decodeUtf8(QByteArray(text, qsizetype(length)));
}

std::optional<quint64> PropertyList::uid(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_UID)
        return std::nullopt;
    uint64_t value = 0;
    plist_get_uid_val(node, &value);
    return value;
}

bool PropertyList::isArray(plist_t node)
{
    return node && plist_get_node_type(node) == PLIST_ARRAY;
}

bool PropertyList::isDictionary(plist_t node)
{
    return node && plist_get_node_type(node) == PLIST_DICT;
}

quint32 PropertyList::count(plist_t node)
{
    return isArray(node) ? plist_array_get_size(node) : 0;
}

plist_t PropertyList::item(plist_t array, quint32 index)
{
    return index < count(array) ? plist_array_get_item(array, index) : nullptr;
}

plist_t PropertyList::value(plist_t dictionary, const char *key)
{
    return isDictionary(dictionary) ? plist_dict_get_item(dictionary, key) : nullptr;
}

} // namespace tamo
