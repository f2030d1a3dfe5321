#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>

using plist_t = void *;

namespace tamo {

// A parsed binary property list, owned, with strict readers of its nodes:
// each gives nothing for a node of another type. Lists are only handed to
// the library once their shape is known to be bounded (PropertyListShape).
class PropertyList
{
public:
    static std::optional<PropertyList> parse(QByteArrayView bytes);

    plist_t root() const { return m_root.get(); }

    static std::optional<QByteArray> data(plist_t node);
    // Nothing for text that is not well-formed UTF-8.
    static std::optional<QString> string(plist_t node);
    static std::optional<quint64> uid(plist_t node);
    static bool isArray(plist_t node);
    static bool isDictionary(plist_t node);
    static quint32 count(plist_t node); // of an array
    static plist_t item(plist_t array, quint32 index);
    // Values are looked up by key only: the library aborts on handing over
    // a key with an embedded NUL, which a file may hold. Such keys never
    // match (they read as empty).
    static plist_t value(plist_t dictionary, const char *key);
private:
    struct Free
    {
        void operator()(void *node) const;
    };
    explicit PropertyList(plist_t root) : m_root(root) {}

    std::unique_ptr<void, Free> m_root;
};

} // namespace tamo
