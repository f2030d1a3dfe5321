#pragma once

#include "model/Sqlite.h"
#include "transfer/PasteDatabase.h"
#include "transfer/PasteItems.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <plist/plist.h>
#include <zlib.h>

namespace tamo::testing {

using Items = QList<PasteImporter::PasteboardItem>;

inline QByteArray binaryPlist(plist_t root)
{
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    QByteArray result(bytes, qsizetype(length));
    plist_to_bin_free(bytes);
    plist_free(root);
    return result;
}

// A binary property list written object by object, for shapes the list
// library cannot write (or would recurse on): references are 4 bytes wide.
class RawPlist
{
public:
    quint32 array(const QList<quint32> &elements) { return add(0xa, elements.size(), references(elements)); }
    quint32 dictionary(const QList<quint32> &keys, const QList<quint32> &values)
    {
        return add(0xd, keys.size(), references(keys) + references(values));
    }
    quint32 string(const QByteArray &ascii) { return add(0x5, ascii.size(), ascii); }
    quint32 data(const QByteArray &bytes) { return add(0x4, bytes.size(), bytes); }

    QByteArray bytes(quint32 root) const
    {
        QByteArray out = "bplist00";
        QByteArray table;
        for (const QByteArray &object : m_objects) {
            table += bigEndian(quint64(out.size()), 8);
            out += object;
        }
        const quint64 tableAt = quint64(out.size());
        out += table;
        out += QByteArray(6, '\0') + char(8) + char(4);
        return out + bigEndian(quint64(m_objects.size()), 8) + bigEndian(root, 8) + bigEndian(tableAt, 8);
    }

private:
    static QByteArray bigEndian(quint64 value, int size)
    {
        QByteArray out(size, '\0');
        for (int i = 0; i < size; ++i)
            out[size - 1 - i] = char(value >> (8 * i));
        return out;
    }
    static QByteArray references(const QList<quint32> &indices)
    {
        QByteArray out;
        for (const quint32 index : indices)
            out += bigEndian(index, 4);
        return out;
    }
    quint32 add(int type, qsizetype count, const QByteArray &body)
    {
        QByteArray object(1, char(type << 4 | int(std::min<qsizetype>(count, 15))));
        if (count >= 15)
            object += char(0x13) + bigEndian(quint64(count), 8);
        m_objects.append(object + body);
        return quint32(m_objects.size() - 1);
    }

    QList<QByteArray> m_objects;
};

// `depth` arrays, each holding the next.
inline QByteArray nestedArrays(int depth)
{
    RawPlist plist;
    quint32 inner = plist.array({});
    for (int i = 1; i < depth; ++i)
        inner = plist.array({inner});
    return plist.bytes(inner);
}

inline plist_t dataNode(const QByteArray &bytes)
{
    return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
}

// A keyed archive of objects, in the shape macOS writes: "$null" first, the
// root array next, then each item, its data dictionary, keys, values and
// classes. `itemClass` names the items' class.
inline QByteArray keyedArchive(const Items &items, const char *itemClass = "PasteCore.PasteboardItem")
{
    plist_t objects = plist_new_array();
    plist_array_append_item(objects, plist_new_string("$null"));
    auto add = [&objects](plist_t node) {
        plist_array_append_item(objects, node);
        return plist_array_get_size(objects) - 1;
    };
    auto classNode = [&add](const char *name) {
        plist_t cls = plist_new_dict();
        plist_dict_set_item(cls, "$classname", plist_new_string(name));
        plist_t classes = plist_new_array();
        plist_array_append_item(classes, plist_new_string(name));
        plist_dict_set_item(cls, "$classes", classes);
        return add(cls);
    };
    plist_t rootArray = plist_new_dict();
    const uint32_t rootIndex = add(rootArray);
    plist_t rootObjects = plist_new_array();
    for (const auto &item : items) {
        plist_t object = plist_new_dict();
        const uint32_t objectIndex = add(object);
        plist_array_append_item(rootObjects, plist_new_uid(objectIndex));
        plist_t dict = plist_new_dict();
        const uint32_t dictIndex = add(dict);
        plist_t keys = plist_new_array();
        plist_t values = plist_new_array();
        for (auto it = item.constBegin(); it != item.constEnd(); ++it) {
            plist_array_append_item(keys, plist_new_uid(add(plist_new_string(it.key().toUtf8().constData()))));
            plist_array_append_item(values, plist_new_uid(add(dataNode(it.value()))));
        }
        plist_dict_set_item(dict, "NS.keys", keys);
        plist_dict_set_item(dict, "NS.objects", values);
        plist_dict_set_item(dict, "$class", plist_new_uid(classNode("NSDictionary")));
        plist_dict_set_item(object, "data", plist_new_uid(dictIndex));
        plist_dict_set_item(object, "$class", plist_new_uid(classNode(itemClass)));
    }
    plist_dict_set_item(rootArray, "NS.objects", rootObjects);
    plist_dict_set_item(rootArray, "$class", plist_new_uid(classNode("NSArray")));

    plist_t top = plist_new_dict();
    plist_t topRoot = plist_new_dict();
    plist_dict_set_item(topRoot, "root", plist_new_uid(rootIndex));
    plist_dict_set_item(top, "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(top, "$version", plist_new_uint(100000));
    plist_dict_set_item(top, "$top", topRoot);
    plist_dict_set_item(top, "$objects", objects);
    return binaryPlist(top);
}

inline QByteArray plistItems(const Items &items)
{
    plist_t array = plist_new_array();
    for (const auto &item : items) {
        plist_t element = plist_new_dict();
        plist_t dataByType = plist_new_dict();
        for (auto it = item.constBegin(); it != item.constEnd(); ++it)
            plist_dict_set_item(dataByType, it.key().toUtf8().constData(), dataNode(it.value()));
        plist_dict_set_item(element, "dataByType", dataByType);
        plist_array_append_item(array, element);
    }
    return binaryPlist(array);
}

// Level 0 writes stored blocks: as long as the bytes.
inline QByteArray deflateRaw(const QByteArray &bytes, int level = Z_BEST_COMPRESSION)
{
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(bytes.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

inline QByteArray jsonItems(const Items &items)
{
    QJsonArray array;
    for (const auto &item : items) {
        QJsonObject dataByType;
        for (auto it = item.constBegin(); it != item.constEnd(); ++it)
            dataByType.insert(it.key(), QString::fromLatin1(it.value().toBase64()));
        array.append(QJsonObject{{QStringLiteral("dataByType"), dataByType}});
    }
    return deflateRaw(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

inline PasteImporter::PasteboardItem textItem(const QString &text)
{
    return {{QStringLiteral("public.utf8-plain-text"), text.toUtf8()}};
}

// A stored value holding its bytes inline.
inline QByteArray inlineValue(const QByteArray &bytes)
{
    return QByteArray(1, '\x01') + bytes;
}

// A home folder with the other app's databases, built as that app lays them out.
class PasteHome
{
public:
    explicit PasteHome(const QString &home) : m_locations(home) {}

    const PasteImporter::Locations &locations() const { return m_locations; }

    sql::Database &paste3()
    {
        if (!m_db.isOpen()) {
            QDir().mkpath(m_locations.paste3Folder);
            m_db.open(QDir(m_locations.paste3Folder).filePath(QStringLiteral("Paste.db")));
            m_db.exec(QStringLiteral(
                "CREATE TABLE ZAPPLICATION (Z_PK INTEGER PRIMARY KEY, ZBUNDLEIDENTIFIER VARCHAR, ZNAME VARCHAR);"
                "CREATE TABLE ZSNIPPETLIST (Z_PK INTEGER PRIMARY KEY, ZNAME VARCHAR, ZCOLOR INTEGER, "
                "ZDISPLAYORDER INTEGER, ZIDENTIFIER VARCHAR);"
                "CREATE TABLE Z_2LISTS (Z_2SNIPPETS INTEGER, Z_4LISTS INTEGER);"
                "CREATE TABLE ZSNIPPET (Z_PK INTEGER PRIMARY KEY, ZTIMESTAMP TIMESTAMP, ZSOURCEAPPLICATION INTEGER, "
                "ZDISPLAYORDERINPINBOARD INTEGER, ZTITLE VARCHAR);"
                "CREATE TABLE ZSNIPPETDATA (Z_PK INTEGER PRIMARY KEY, ZSNIPPET INTEGER, ZPASTEBOARDITEMS BLOB);"));
        }
        return m_db;
    }

    sql::Database &paste7()
    {
        if (!m_db.isOpen()) {
            QDir().mkpath(m_locations.paste7Folder);
            m_db.open(QDir(m_locations.paste7Folder).filePath(QStringLiteral("db.sqlite")));
            m_db.exec(QStringLiteral(
                "CREATE TABLE ZAPPLICATIONENTITY (Z_PK INTEGER PRIMARY KEY, ZBUNDLEIDENTIFIER VARCHAR, ZNAME VARCHAR);"
                "CREATE TABLE ZLISTENTITY (Z_PK INTEGER PRIMARY KEY, ZNAME VARCHAR, ZRAWATTRIBUTES BLOB, "
                "ZMETADATA INTEGER, ZRAWTYPE INTEGER, ZIDENTIFIER VARCHAR);"
                "CREATE TABLE ZLISTMETADATAENTITY (Z_PK INTEGER PRIMARY KEY, ZINDEX INTEGER);"
                "CREATE TABLE ZITEMENTITY (Z_PK INTEGER PRIMARY KEY, ZTIMESTAMP TIMESTAMP, ZCREATEDAT TIMESTAMP, "
                "ZSOURCEAPPLICATION INTEGER, ZDISPLAYORDERINPINBOARD INTEGER, ZTITLE VARCHAR, ZLIST INTEGER);"
                "CREATE TABLE ZITEMDATAENTITY (Z_PK INTEGER PRIMARY KEY, ZITEM INTEGER, ZRAWPASTEBOARDITEMS BLOB);"));
        }
        return m_db;
    }

    // One clip of the older generation with its stored value.
    void addPaste3Clip(qint64 key, double date, const QVariant &stored, const QVariant &title = {},
                       qint64 app = 0, qint64 order = 0)
    {
        paste3().prepare(QStringLiteral("INSERT INTO ZSNIPPET VALUES (?, ?, ?, ?, ?)"))
            .bind(1, key).bind(2, date).bind(3, app).bind(4, order).bind(5, title).run();
        paste3().prepare(QStringLiteral("INSERT INTO ZSNIPPETDATA (ZSNIPPET, ZPASTEBOARDITEMS) VALUES (?, ?)"))
            .bind(1, key).bind(2, stored).run();
    }

    void addPaste7Clip(qint64 key, const QVariant &timestamp, const QVariant &stored, const QVariant &list = {},
                       const QVariant &title = {}, qint64 order = 0, const QVariant &createdAt = {}, qint64 app = 0)
    {
        paste7().prepare(QStringLiteral("INSERT INTO ZITEMENTITY VALUES (?, ?, ?, ?, ?, ?, ?)"))
            .bind(1, key).bind(2, timestamp).bind(3, createdAt).bind(4, app).bind(5, order).bind(6, title)
            .bind(7, list).run();
        paste7().prepare(QStringLiteral("INSERT INTO ZITEMDATAENTITY (ZITEM, ZRAWPASTEBOARDITEMS) VALUES (?, ?)"))
            .bind(1, key).bind(2, stored).run();
    }

    // The newer generation's clip table as a view whose query never ends.
    void makeEndlessClipView()
    {
        paste7().exec(QStringLiteral(
            "DROP TABLE ZITEMENTITY;"
            "CREATE VIEW ZITEMENTITY AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
            "SELECT i AS Z_PK, i AS ZTIMESTAMP, NULL AS ZCREATEDAT, 0 AS ZSOURCEAPPLICATION, "
            "0 AS ZDISPLAYORDERINPINBOARD, NULL AS ZTITLE, NULL AS ZLIST FROM n;"
            "INSERT INTO ZITEMDATAENTITY (ZITEM, ZRAWPASTEBOARDITEMS) VALUES (1, x'01'), (2, x'01');"));
    }

    void close() { m_db.close(); }

private:
    PasteImporter::Locations m_locations;
    sql::Database m_db;
};

} // namespace tamo::testing
