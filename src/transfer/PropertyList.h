#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>

using plist_t = void *;

namespace tamo {

// A parsed property list (binary or XML), owned, with strict readers of its
// nodes: each gives nothing for a node of another type.
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
    static plist_t value(plist_t dictionary, const char *key);
    // Calls `entry` with each key and value until it returns false; false
    // when a key is not well-formed UTF-8 or `entry` stopped.
    template<typename Entry>
    static bool forEach(plist_t dictionary, Entry entry);

private:
    struct Free
    {
        void operator()(void *node) const;
    };
    explicit PropertyList(plist_t root) : m_root(root) {}

    static bool next(plist_t dictionary, void *iterator, QString &key, plist_t &value, bool &valid);
    static void *beginIteration(plist_t dictionary);
    static void endIteration(void *iterator);

    std::unique_ptr<void, Free> m_root;
};

template<typename Entry>
bool PropertyList::forEach(plist_t dictionary, Entry entry)
{
    void *iterator = beginIteration(dictionary);
    QString key;
    plist_t node = nullptr;
    bool valid = true;
    bool going = true;
    while (going && next(dictionary, iterator, key, node, valid))
        going = valid && entry(key, node);
    endIteration(iterator);
    return valid && going;
}

} // namespace tamo
