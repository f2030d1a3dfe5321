#include "transfer/PastePlistItems.h"

#include "transfer/PasteValues.h"
#include "transfer/PropertyListShape.h"
#include "transfer/PropertyListTable.h"

namespace tamo::PasteImporter {

namespace {

using Object = PropertyListObject;

bool isString(const Object &object)
{
    return object.type == Object::asciiString || object.type == Object::utf16String;
}

// The characters of a string object: bytes, or big-endian UTF-16 units.
template<typename Take>
void forEachCharacter(const PropertyListTable &table, const Object &string, Take take)
{
    const QByteArrayView bytes = table.payload(string);
    if (string.type == Object::asciiString) {
        for (const char c : bytes) {
            if (!take(char32_t(uchar(c))))
                return;
        }
        return;
    }
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        if (!take(char32_t(uchar(bytes[i]) << 8 | uchar(bytes[i + 1]))))
            return;
    }
}

// Whether a string object is `key`, compared by its whole length.
bool isKey(const PropertyListTable &table, const Object &string, QLatin1StringView key)
{
    const qsizetype unit = string.type == Object::utf16String ? 2 : 1;
    if (!isString(string) || qsizetype(string.payloadBytes) != key.size() * unit)
        return false;
    qsizetype at = 0;
    bool same = true;
    forEachCharacter(table, string, [&](char32_t c) {
        same = c == char32_t(key[at++].unicode());
        return same;
    });
    return same;
}

// The value of a dictionary's first key that is `key`.
std::optional<Object> value(const PropertyListTable &table, const Object &dictionary, QLatin1StringView key)
{
    for (quint64 i = 0; i < dictionary.keyCount; ++i) {
        const std::optional<Object> found = table.object(table.reference(dictionary, i));
        if (found && isKey(table, *found, key))
            return table.object(table.reference(dictionary, dictionary.keyCount + i));
    }
    return std::nullopt;
}

// Bytes enter as they are, text as Base64; anything else is left out.
PasteboardItem dataDictionary(const PropertyListTable &table, const Object &dataByType, Budget &budget,
                              CutTypes *cutTypes)
{
    PasteboardItem item;
    for (const QString &type : capturedTypes()) {
        const QByteArray name = type.toLatin1();
        const std::optional<Object> found = value(table, dataByType, QLatin1StringView(name));
        if (!found || (found->type != Object::data && !isString(*found)))
            continue;
        KeptValue kept(type, budget);
        if (found->type == Object::data) {
            kept.append(table.payload(*found));
        } else {
            Base64Stream base64(kept);
            forEachCharacter(table, *found, [&base64](char32_t c) { return base64.add(c); });
            if (!base64.finish() && !kept.isCut())
                continue;
        }
        if (kept.isCut() && cutTypes)
            cutTypes->insert(type);
        keepValue(item, type, kept, budget);
    }
    return item;
}

} // namespace

std::optional<QList<PasteboardItem>> itemsFromPropertyList(QByteArrayView bytes, CutTypes *cutTypes)
{
    if (!propertyListShape(bytes))
        return std::nullopt;
    const std::optional<PropertyListTable> table = PropertyListTable::read(bytes);
    const std::optional<Object> root = table ? table->object(table->root()) : std::nullopt;
    if (!root || root->type != Object::array || root->referenceCount == 0)
        return std::nullopt;
    QList<Object> elements;
    for (quint64 i = 0; i < root->referenceCount; ++i) {
        const std::optional<Object> element = table->object(table->reference(*root, i));
        if (!element || element->type != Object::dictionary)
            return std::nullopt;
        elements.append(*element);
    }
    Budget budget;
    QList<PasteboardItem> items;
    for (const Object &element : elements) {
        const std::optional<Object> dataByType = value(*table, element, QLatin1StringView("dataByType"));
        const bool first = items.isEmpty();
        items.append(dataByType && dataByType->type == Object::dictionary
                         ? dataDictionary(*table, *dataByType, budget, first ? cutTypes : nullptr)
                         : PasteboardItem());
    }
    return items;
}

} // namespace tamo::PasteImporter
