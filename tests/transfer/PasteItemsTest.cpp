#include "transfer/PasteFixtures.h"

#include "support/TempDir.h"
#include "support/TestImages.h"
#include "transfer/Lzfse.h"

#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;
using namespace tamo::PasteImporter;

namespace {

const QString utf8 = QStringLiteral("public.utf8-plain-text");
const QString fileURL = QStringLiteral("public.file-url");

QByteArray withLzfse(const QByteArray &plist)
{
    // A stored LZFSE block holding the property list.
    QByteArray size(4, '\0');
    for (int i = 0; i < 4; ++i)
        size[i] = char(quint32(plist.size()) >> (8 * i));
    return QByteArray("bvx-") + size + plist + "bvx$";
}

} // namespace

TEST(PasteItemsTest, StoredValuesReadInlineOrOnePlainFileName)
{
    TempDir folder;
    writeFile(folder.file(QStringLiteral("ABC")), "external");
    writeFile(folder.file(QStringLiteral("secret")), "private");
    EXPECT_EQ(resolveStoredData(QByteArray(1, '\x01'), folder.path()), QByteArray());
    EXPECT_EQ(resolveStoredData(inlineValue("xyz"), folder.path()), QByteArray("xyz"));
    EXPECT_EQ(resolveStoredData(QByteArray("\x02" "ABC", 4), folder.path()), QByteArray("external"));
    EXPECT_EQ(resolveStoredData(QByteArray("\x02" "ABC\0garbage", 12), folder.path()), QByteArray("external"));
    const QByteArray refused[] = {
        {},
        QByteArray("\x02" "missing", 8),
        QByteArray("\x03" "xyz", 4),
        // Names that would leave the folder or mean another file.
        QByteArray("\x02" "../secret", 10),
        QByteArray("\x02") + folder.file(QStringLiteral("secret")).toUtf8(),
        QByteArray("\x02" "..", 3),
        QByteArray("\x02" ".", 2),
        QByteArray(1, '\x02'),
    };
    const QString inner = folder.file(QStringLiteral("inner"));
    QDir().mkpath(inner);
    for (const QByteArray &stored : refused)
        EXPECT_EQ(resolveStoredData(stored, inner), std::nullopt) << stored.toStdString();
}

TEST(PasteItemsTest, KeyedArchivesOfPasteboardItems)
{
    const Items items{textItem(QStringLiteral("hello")), {{QStringLiteral("public.png"), "png"}}};
    EXPECT_EQ(unarchiveItems(keyedArchive(items)), items);
    EXPECT_EQ(unarchiveItems(keyedArchive({})), Items());
    EXPECT_EQ(makeDraft(*unarchiveItems(keyedArchive({})), {}, {}), std::nullopt);
    EXPECT_EQ(unarchiveItems(keyedArchive(items, "NSObject")), std::nullopt);
    EXPECT_EQ(unarchiveItems("not an archive"), std::nullopt);
}

TEST(PasteItemsTest, HostileArchivesEndCleanly)
{
    // An item without "data", one whose data names itself, and a root that
    // names itself: each is refused or read empty, never followed in a loop.
    auto archive = [](const std::function<void(plist_t objects)> &fill) {
        plist_t objects = plist_new_array();
        plist_array_append_item(objects, plist_new_string("$null"));
        fill(objects);
        plist_t top = plist_new_dict();
        plist_t topRoot = plist_new_dict();
        plist_dict_set_item(topRoot, "root", plist_new_uid(1));
        plist_dict_set_item(top, "$archiver", plist_new_string("NSKeyedArchiver"));
        plist_dict_set_item(top, "$top", topRoot);
        plist_dict_set_item(top, "$objects", objects);
        return binaryPlist(top);
    };
    auto classNamed = [](const char *name) {
        plist_t cls = plist_new_dict();
        plist_dict_set_item(cls, "$classname", plist_new_string(name));
        return cls;
    };
    // An array object holding one reference, of the class at `classIndex`.
    auto arrayOf = [](uint64_t element, uint64_t classIndex) {
        plist_t array = plist_new_dict();
        plist_t list = plist_new_array();
        plist_array_append_item(list, plist_new_uid(element));
        plist_dict_set_item(array, "NS.objects", list);
        plist_dict_set_item(array, "$class", plist_new_uid(classIndex));
        return array;
    };
    // 1 root array [2], 2 item, 3 array class, 4 item class.
    const QByteArray noData = archive([&](plist_t objects) {
        plist_array_append_item(objects, arrayOf(2, 3));
        plist_t item = plist_new_dict();
        plist_dict_set_item(item, "$class", plist_new_uid(4));
        plist_dict_set_item(item, "data", plist_new_uid(2));
        plist_array_append_item(objects, item);
        plist_array_append_item(objects, classNamed("NSMutableArray"));
        plist_array_append_item(objects, classNamed("PasteCore.PasteboardItem"));
    });
    EXPECT_EQ(unarchiveItems(noData), Items{PasteboardItem()});

    const QByteArray selfRoot = archive([&](plist_t objects) {
        plist_array_append_item(objects, arrayOf(1, 2));
        plist_array_append_item(objects, classNamed("NSArray"));
    });
    EXPECT_EQ(unarchiveItems(selfRoot), std::nullopt);

    const QByteArray outOfRange = archive([&](plist_t objects) { plist_array_append_item(objects, plist_new_uid(99)); });
    EXPECT_EQ(unarchiveItems(outOfRange), std::nullopt);

    // 10,000 nested arrays.
    plist_t deepest = plist_new_array();
    for (int i = 0; i < 10000; ++i) {
        plist_t outer = plist_new_array();
        plist_array_append_item(outer, deepest);
        deepest = outer;
    }
    const QByteArray deep = archive([&](plist_t objects) { plist_array_append_item(objects, deepest); });
    EXPECT_EQ(unarchiveItems(deep), std::nullopt);
    EXPECT_EQ(rawPasteboardItems(deep), std::nullopt);
}

TEST(PasteItemsTest, NewerItemsByTheirFirstBytes)
{
    // A key with a NUL in it is never handed over (the plist library aborts on it).
    const QByteArray nulKey = QByteArray::fromBase64(
        "YnZ4LWYAAABicGxpc3QwMKEB0QIDWmRhdGFCeVR5cGXRBAVfEA9wdWJsaWMuZmlsZS11cmxPEAAAAACaxdAvL3RtcC9kaXIvCAoNGCItAAAAAAAAAQEA"
        "AAAAAAAABgAAAAAAAAAAAAAAAAAAAEBidngk");
    EXPECT_EQ(rawPasteboardItems(nulKey), Items{PasteboardItem()});
    const Items items{textItem(QStringLiteral("hi")), {{QStringLiteral("public.rtf"), "{\\rtf1}"}}};
    EXPECT_EQ(rawPasteboardItems(plistItems(items)), items);
    EXPECT_EQ(rawPasteboardItems(withLzfse(plistItems(items))), items);
    EXPECT_EQ(rawPasteboardItems(jsonItems(items)), items);
    // A property list is never inflated; LZFSE output is never read as JSON.
    EXPECT_EQ(rawPasteboardItems(QByteArray("bplist00") + jsonItems(items)), std::nullopt);
    EXPECT_EQ(rawPasteboardItems(withLzfse(R"([{"dataByType":{}}])")), std::nullopt);
    EXPECT_EQ(rawPasteboardItems(deflateRaw("[]")), std::nullopt);
    EXPECT_EQ(rawPasteboardItems(deflateRaw(R"({"dataByType":{}})")), std::nullopt);
    EXPECT_EQ(rawPasteboardItems(deflateRaw("[1]")), std::nullopt);
    EXPECT_EQ(rawPasteboardItems(deflateRaw(R"([{"dataByType":{}}])").chopped(2)), std::nullopt);
}

TEST(PasteItemsTest, TypesAreMatchedByTheirWholeName)
{
    const QByteArray shadow("public.utf8-plain-text\0evil", 27);
    const struct
    {
        const char *name;
        QList<QByteArray> keys;
        Items expected;
    } cases[] = {
        {"a longer key before the real one", {shadow, "public.utf8-plain-text"}, {textItem(QStringLiteral("1"))}},
        {"a longer key after the real one", {"public.utf8-plain-text", shadow}, {textItem(QStringLiteral("0"))}},
        {"only the longer key", {shadow}, {{}}},
    };
    for (const auto &c : cases) {
        RawPlist plist;
        QList<quint32> keys;
        QList<quint32> values;
        for (const QByteArray &key : c.keys) {
            keys.append(plist.string(key));
            values.append(plist.data(QByteArray::number(values.size())));
        }
        const quint32 item = plist.dictionary({plist.string("dataByType")}, {plist.dictionary(keys, values)});
        EXPECT_EQ(rawPasteboardItems(plist.bytes(plist.array({item}))), c.expected) << c.name;
    }
}

TEST(PasteItemsTest, DeeplyNestedListsAreRefusedInEveryContainer)
{
    const QByteArray nested = nestedArrays(100000);
    EXPECT_EQ(rawPasteboardItems(nested), std::nullopt);
    EXPECT_EQ(rawPasteboardItems(withLzfse(nested)), std::nullopt);
    EXPECT_EQ(unarchiveItems(nested), std::nullopt);
}

TEST(PasteItemsTest, JsonElementsKeepTheirPlaceAndOnlyStrictBase64)
{
    const QByteArray json = R"([{"other":1},{"dataByType":{"public.text":"aGk=","public.rtf":"aG\nk=",)"
                            R"("public.png":"aGk","public.tiff":5,"public.url":"aGk= ","com.other":"aGk="}}])";
    const auto items = rawPasteboardItems(deflateRaw(json));
    ASSERT_TRUE(items);
    EXPECT_EQ(*items, (Items{{}, {{QStringLiteral("public.text"), "hi"}}}));
}

TEST(PasteItemsTest, ADeflateBombStopsAtTheCap)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray bomb;
    const QByteArray zeros(16 * 1024 * 1024, '\0');
    QByteArray chunk(1024 * 1024, Qt::Uninitialized);
    for (int round = 0; round < 20; ++round) { // 320 MB of zeros
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        stream.avail_in = uInt(zeros.size());
        do {
            stream.next_out = reinterpret_cast<Bytef *>(chunk.data());
            stream.avail_out = uInt(chunk.size());
            deflate(&stream, round == 19 ? Z_FINISH : Z_NO_FLUSH);
            bomb.append(chunk.constData(), chunk.size() - qsizetype(stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    ASSERT_LT(bomb.size(), 1024 * 1024);
    EXPECT_EQ(rawPasteboardItems(bomb), std::nullopt);
}

TEST(PasteItemsTest, TextsAreKeptAsACopyWouldKeepThem)
{
    const QString longText(ClipDraft::largestText + 1024 * 1024, u'a');
    const auto draft = makeDraft({{{utf8, longText.toUtf8()}, {QStringLiteral("public.rtf"), "{\\rtf1}"}}}, {}, {});
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->text->size(), ClipDraft::largestText);
    EXPECT_EQ(draft->title, QStringLiteral("Cut to the first 16 MB of 17 MB"));
    EXPECT_EQ(draft->rtfData, std::nullopt);
}

namespace {

// JSON items written by hand, values as they are (Base64 or anything
// else), so that a test never holds a long text as a document.
QByteArray rawJson(const QList<QList<std::pair<QByteArray, QByteArray>>> &items)
{
    QByteArray json = "[";
    for (const auto &item : items) {
        json += R"({"dataByType":{)";
        for (const auto &[type, value] : item)
            json += '"' + type + R"(":)" + value + ',';
        if (!item.isEmpty())
            json.chop(1);
        json += "}},";
    }
    json.chop(1);
    return json + "]";
}

QByteArray quotedBase64(const QByteArray &bytes)
{
    return '"' + bytes.toBase64() + '"';
}

QByteArray plistOfTypes(const QList<std::pair<QByteArray, quint32>> &types, RawPlist &plist)
{
    QList<quint32> keys;
    QList<quint32> values;
    for (const auto &[type, value] : types) {
        keys.append(plist.string(type));
        values.append(value);
    }
    const quint32 item = plist.dictionary({plist.string("dataByType")}, {plist.dictionary(keys, values)});
    return plist.bytes(plist.array({item}));
}

} // namespace

TEST(PasteItemsTest, TextsPastTheCapAreCutAsTheyAreDecoded)
{
    const qsizetype cap = ClipDraft::largestText;
    const QByteArray over = QByteArray("ab").repeated(cap / 2 + 512 * 1024);
    const QString euro(QChar(0x20AC));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString cutTitle = QStringLiteral("Cut to the first 16 MB of a longer text");
    const struct
    {
        const char *name;
        std::function<QByteArray()> bytes; // built one at a time: each is large
        QString unit;      // what the kept text repeats
        qsizetype length;  // of the kept text
        QString title;
    } cases[] = {
        {"JSON, ASCII, its RTF dropped",
         [&] {
             return deflateRaw(rawJson({{{"public.rtf", quotedBase64("{\\rtf1}")},
                                         {"public.utf8-plain-text", quotedBase64(over)}}}));
         },
         QStringLiteral("ab"), cap, cutTitle},
        {"JSON, three bytes a character",
         [&] { return deflateRaw(rawJson({{{"public.text", quotedBase64(euro.toUtf8().repeated(cap + 1))}}})); },
         euro, cap, cutTitle},
        {"JSON, a pair per character",
         [&] { return deflateRaw(rawJson({{{"public.text", quotedBase64(emoji.toUtf8().repeated(cap / 2 + 1))}}})); },
         emoji, cap, cutTitle},
        {"JSON, UTF-16",
         [&] {
             return deflateRaw(
                 rawJson({{{"public.utf16-plain-text", quotedBase64(QByteArray("a\0", 2).repeated(cap + 3))}}}));
         },
         QStringLiteral("a"), cap, cutTitle},
        {"JSON, the next item's text cut",
         [&] {
             return deflateRaw(rawJson({{{"public.utf8-plain-text", quotedBase64("whole")}},
                                        {{"public.utf8-plain-text", quotedBase64(over)}}}));
         },
         QStringLiteral("whole"), 5, {}},
        {"JSON, inflated to its limit before the text's end",
         [&] {
             return deflateRaw(rawJson({{{"zz.other", '"' + QByteArray(60 * 1024 * 1024, 'x') + '"'},
                                         {"public.utf8-plain-text", quotedBase64(over)}}}));
         },
         QStringLiteral("ab"), 0, QStringLiteral("Cut to the first 9 MB of a longer text")},
        {"JSON, small", [] { return jsonItems({textItem(QStringLiteral("ab"))}); }, QStringLiteral("ab"), 2, {}},
        {"property list, data",
         [&] {
             RawPlist plist;
             return plistOfTypes({{"public.utf8-plain-text", plist.data(over)}}, plist);
         },
         QStringLiteral("ab"), cap, cutTitle},
        {"property list, Base64",
         [&] {
             RawPlist plist;
             return plistOfTypes({{"public.utf8-plain-text", plist.string(over.toBase64())}}, plist);
         },
         QStringLiteral("ab"), cap, cutTitle},
        {"property list, small", [] { return plistItems({textItem(QStringLiteral("ab"))}); }, QStringLiteral("ab"), 2,
         {}},
    };
    for (const auto &c : cases) {
        CutTypes cutTypes;
        const auto items = rawPasteboardItems(c.bytes(), &cutTypes);
        ASSERT_TRUE(items) << c.name;
        const auto draft = makeDraft(*items, {}, {}, cutTypes);
        ASSERT_TRUE(draft && draft->text) << c.name;
        const QString &text = *draft->text;
        if (c.length > 0)
            EXPECT_EQ(text.size(), c.length) << c.name;
        else
            EXPECT_GT(text.size(), 1024 * 1024) << c.name;
        EXPECT_EQ(text.count(c.unit) * c.unit.size(), text.size()) << c.name;
        EXPECT_EQ(draft->title.value_or(QString()), c.title) << c.name;
        EXPECT_EQ(draft->rtfData, std::nullopt) << c.name;
    }
}

TEST(PasteItemsTest, JsonIsReadStrictlyWithoutBuildingTheDocument)
{
    const PasteboardItem hi{{utf8, "hi"}};
    const struct
    {
        const char *name;
        QByteArray json;
        std::optional<Items> expected;
    } cases[] = {
        {"escapes, as the platform writes slashes", R"([{"dataByType":{"public.utf8-plain-text":"P\/8=",)"
                                                    R"("\u0070ublic.rtf":"aGk="}}])",
         Items{{{utf8, "?\xff"}, {QStringLiteral("public.rtf"), "hi"}}}},
        {"other members and values skipped", R"( [ {"a":[1,-2.5e+3,{"b":[true,false,null,"\u00e9\ud83d\ude00"]}],)"
                                             R"("dataByType":{"x":{},"public.utf8-plain-text":"aGk="},"c":[]} ] )",
         Items{hi}},
        {"a later key replaces an earlier one", R"([{"dataByType":{"public.utf8-plain-text":"eA==",)"
                                                R"("public.utf8-plain-text":"aGk="}}])", Items{hi}},
        {"a later value that is no Base64 removes the type", R"([{"dataByType":{"public.utf8-plain-text":"aGk=",)"
                                                             R"("public.utf8-plain-text":5}}])", Items{{}}},
        {"Base64 with set unused bits", R"([{"dataByType":{"public.utf8-plain-text":"aGl="}}])", Items{{}}},
        {"Base64 with padding inside", R"([{"dataByType":{"public.utf8-plain-text":"aA==aGk="}}])", Items{{}}},
        {"Base64 with one character of padding too many", R"([{"dataByType":{"public.utf8-plain-text":"a==="}}])",
         Items{{}}},
        {"halves of surrogate pairs, which JSON allows", R"([{"a":"\ud83d\u0041\ude00\ud83d\n","\udc00":1}])",
         Items{{}}},
        {"half a surrogate pair before a bad escape", R"([{"a":"\ud83d\x"}])", std::nullopt},
        {"garbage after the array", R"([{"dataByType":{}}] x)", std::nullopt},
        {"an unknown escape", R"([{"a":"\x"}])", std::nullopt},
        {"a control character in a string", "[{\"a\":\"\t\"}]", std::nullopt},
        {"UTF-8 that is not well-formed", "[{\"a\":\"\xC0\xAF\"}]", std::nullopt},
        {"an encoded surrogate", "[{\"a\":\"\xED\xA0\x80\"}]", std::nullopt},
        {"a number with a leading zero", R"([{"a":01}])", std::nullopt},
        {"a number without its fraction", R"([{"a":1.}])", std::nullopt},
        {"a bare minus", R"([{"a":-}])", std::nullopt},
        {"a misspelt literal", R"([{"a":tru}])", std::nullopt},
        {"a trailing comma", R"([{"dataByType":{},}])", std::nullopt},
        {"a key that is no string", R"([{dataByType:{}}])", std::nullopt},
        {"an unclosed array", R"([{"dataByType":{}})", std::nullopt},
        {"a mismatched bracket", R"([{"a":[1}]}])", std::nullopt},
        {"nesting deeper than 1024", "[{\"a\":" + QByteArray(1025, '[') + QByteArray(1025, ']') + "}]", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rawPasteboardItems(deflateRaw(c.json)), c.expected) << c.name;
    // Nesting as deep as allowed is read.
    EXPECT_EQ(rawPasteboardItems(deflateRaw("[{\"a\":" + QByteArray(1024, '[') + QByteArray(1024, ']') + "}]")),
              Items{{}});
}

TEST(PasteItemsTest, DraftsFollowFilesThenTextThenImages)
{
    const QByteArray png = encodedImage(QSize(4, 3), Qt::red);
    const PasteboardItem whiteText{{utf8, " \n "}, {QStringLiteral("public.png"), png}};
    struct Case
    {
        const char *name;
        Items items;
        std::optional<ClipKind> kind;
        QStringList paths;
        std::optional<QString> text;
    } cases[] = {
        {"files in a later item win", {textItem(QStringLiteral("t")), {{fileURL, "file:///tmp/a%20b.txt"}}},
         ClipKind::file, {QStringLiteral("/tmp/a b.txt")}, {}},
        {"folder URLs lose their slash", {{{fileURL, "file:///tmp/dir/"}}}, ClipKind::file, {QStringLiteral("/tmp/dir")}, {}},
        {"web URLs are no files", {{{fileURL, "https://example.com/"}, {utf8, "x"}}}, ClipKind::text, {}, QStringLiteral("x")},
        {"a link", {textItem(QStringLiteral("https://example.com"))}, ClipKind::link, {}, QStringLiteral("https://example.com")},
        {"blank text gives way to the image", {whiteText}, ClipKind::image, {}, {}},
        {"bad UTF-8 decides no text", {{{utf8, "\xff\xfe"}, {QStringLiteral("public.utf16-plain-text"), "h\0i\0"},
                                         {QStringLiteral("public.png"), png}}}, ClipKind::image, {}, {}},
        {"UTF-16 text", {{{QStringLiteral("public.utf16-plain-text"), QByteArray("h\0i\0", 4)}}}, ClipKind::text, {},
         QStringLiteral("hi")},
        {"lone surrogate", {{{QStringLiteral("public.utf16-plain-text"), QByteArray("\x00\xd8", 2)}}}, {}, {}, {}},
        {"no items", {}, {}, {}, {}},
        {"nothing usable", {{{QStringLiteral("com.other"), "x"}}}, {}, {}, {}},
        {"unreadable image", {{{QStringLiteral("public.tiff"), "no image"}}}, {}, {}, {}},
    };
    for (const Case &c : cases) {
        const auto draft = makeDraft(c.items, QStringLiteral("com.app"), QStringLiteral("App"));
        ASSERT_EQ(draft.has_value(), c.kind.has_value()) << c.name;
        if (!draft)
            continue;
        EXPECT_EQ(draft->kind, *c.kind) << c.name;
        EXPECT_EQ(draft->filePaths, c.paths) << c.name;
        EXPECT_EQ(draft->text, c.text) << c.name;
        EXPECT_EQ(draft->sourceBundleID, QStringLiteral("com.app")) << c.name;
    }
}

TEST(PasteItemsTest, ListColoursFromTheirAttributes)
{
    EXPECT_EQ(listColor(QByteArray(R"({"colorCode":16744448})")), (std::array<double, 3>{1.0, 128 / 255.0, 0.0}));
    for (const char *refused : {R"({"colorCode":"16744448"})", "[]", "{", R"({"colorCode":1e300})", R"({})"})
        EXPECT_EQ(listColor(QByteArray(refused)), std::nullopt) << refused;
    EXPECT_EQ(listColor(std::nullopt), std::nullopt);
}
