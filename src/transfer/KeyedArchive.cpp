#include "transfer/KeyedArchive.h"

namespace tamo {

std::optional<KeyedArchive> KeyedArchive::parse(QByteArrayView bytes)
{
    std::optional<PropertyList> list = PropertyList::parse(bytes);
    if (!list)
        return std::nullopt;
    const plist_t top = list->root();
    if (PropertyList::string(PropertyList::value(top, "$archiver")) != QLatin1String("NSKeyedArchiver"))
        return std::nullopt;
    const plist_t objects = PropertyList::value(top, "$objects");
    if (!PropertyList::isArray(objects) || PropertyList::count(objects) > maxObjects)
        return std::nullopt;
    KeyedArchive archive(std::move(*list), objects);
    archive.m_root = archive.resolve(PropertyList::value(PropertyList::value(top, "$top"), "root"));
    if (!archive.m_root)
        return std::nullopt;
    return archive;
}

plist_t KeyedArchive::resolve(plist_t value) const
{
    const std::optional<quint64> index = PropertyList::uid(value);
    if (!index)
        return value;
    // Index 0 is "$null".
    if (*index == 0 || *index >= PropertyList::count(m_objects))
        return nullptr;
    const plist_t object = PropertyList::item(m_objects, quint32(*index));
    return PropertyList::uid(object) ? nullptr : object;
}

std::optional<QString> KeyedArchive::className(plist_t object) const
{
    if (!PropertyList::isDictionary(object))
        return std::nullopt;
    const plist_t reference = PropertyList::value(object, "$class");
    if (!PropertyList::uid(reference))
        return std::nullopt;
    return PropertyList::string(PropertyList::value(resolve(reference), "$classname"));
}

bool KeyedArchive::isClass(plist_t object, const char *name, const char *mutableName) const
{
    const std::optional<QString> actual = className(object);
    return actual && (*actual == QLatin1String(name) || *actual == QLatin1String(mutableName));
}

std::optional<QList<plist_t>> KeyedArchive::references(plist_t list) const
{
    if (!PropertyList::isArray(list))
        return std::nullopt;
    QList<plist_t> resolved;
    const quint32 count = PropertyList::count(list);
    resolved.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        const plist_t item = PropertyList::item(list, i);
        if (!PropertyList::uid(item))
            return std::nullopt;
        const plist_t object = resolve(item);
        if (!object)
            return std::nullopt;
        resolved.append(object);
    }
    return resolved;
}

std::optional<QList<plist_t>> KeyedArchive::array(plist_t object) const
{
    if (!isClass(object, "NSArray", "NSMutableArray"))
        return std::nullopt;
    return references(PropertyList::value(object, "NS.objects"));
}

std::optional<QList<std::pair<plist_t, plist_t>>> KeyedArchive::dictionary(plist_t object) const
{
    if (!isClass(object, "NSDictionary", "NSMutableDictionary"))
        return std::nullopt;
    const auto keys = references(PropertyList::value(object, "NS.keys"));
    const auto values = references(PropertyList::value(object, "NS.objects"));
    if (!keys || !values || keys->size() != values->size())
        return std::nullopt;
    QList<std::pair<plist_t, plist_t>> entries;
    entries.reserve(keys->size());
    for (qsizetype i = 0; i < keys->size(); ++i)
        entries.append({keys->at(i), values->at(i)});
    return entries;
}

std::optional<QByteArray> KeyedArchive::data(plist_t object) const
{
    if (auto plain = PropertyList::data(object))
        return plain;
    if (!isClass(object, "NSData", "NSMutableData"))
        return std::nullopt;
    return PropertyList::data(PropertyList::value(object, "NS.data"));
}

std::optional<QString> KeyedArchive::string(plist_t object) const
{
    if (auto plain = PropertyList::string(object))
        return plain;
    if (!isClass(object, "NSString", "NSMutableString"))
        return std::nullopt;
    return PropertyList::string(PropertyList::value(object, "NS.string"));
}

} // namespace tamo
