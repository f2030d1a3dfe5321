#include "support/SampleClips.h"
#include "support/TestImages.h"

#include "transfer/PinboardArchive.h"
#include "transfer/PinboardDocument.h"
#include "model/ClipDraft.h"
#include "model/TypedText.h"
#include "transfer/StrictValues.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace tamo {
namespace {

QDateTime utc(const char *text)
{
    return *strict::parseInternetDate(QString::fromLatin1(text));
}

PinboardArchive fullArchive()
{
    PinboardArchive::Clip text{.kind = QStringLiteral("text"), .title = QStringLiteral("Meeting"),
                               .text = QStringLiteral("a/b “quoted” ✓"), .keywords = {QStringLiteral("work")},
                               .rtf = QByteArray("{\\rtf1 x}"), .sourceBundleID = QStringLiteral("org.gnome.TextEditor"),
                               .sourceAppName = QStringLiteral("Text Editor"),
                               .createdAt = utc("2025-03-01T10:00:00.123Z"), .pinnedAt = utc("2025-03-01T10:05:00Z"),
                               .iconEmoji = QStringLiteral("📌"), .id = QUuid::createUuid(),
                               .editedAt = utc("2025-03-02T09:00:00.000Z")};
    PinboardArchive::Clip image{.kind = QStringLiteral("image"),
                                .image = testing::encodedImage(QSize(3, 2), Qt::red), .imageWidth = 3,
                                .imageHeight = 2, .createdAt = utc("2025-03-01T10:00:00Z")};
    PinboardArchive::Clip file{.kind = QStringLiteral("file"), .filePaths = QStringList{QStringLiteral("/tmp/a b")},
                               .createdAt = utc("2025-03-01T10:00:00Z")};
    PinboardArchive archive;
    archive.exportedAt = utc("2025-03-04T05:06:07.890Z");
    archive.pinboards = {{QStringLiteral("Work"), QStringLiteral("Teal"), {text, image, file}, QUuid::createUuid()},
                         {QStringLiteral("Empty"), QStringLiteral("Blue"), {}, std::nullopt}};
    archive.apps = {{QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor"), QByteArray("png"),
                     QStringLiteral("#F5C32C")}};
    return archive;
}

QJsonObject fullDocument()
{
    return QJsonDocument::fromJson(fullArchive().encode()).object();
}

TEST(PinboardArchiveTest, WritesSortedEscapedJsonThatReadsBackEqual)
{
    const PinboardArchive archive = fullArchive();
    const QByteArray bytes = archive.encode();
    EXPECT_EQ(PinboardArchive::decode(bytes), archive);
    EXPECT_TRUE(bytes.contains("\"text\": \"a\\/b"));
    EXPECT_TRUE(bytes.contains("\"exportedAt\": \"2025-03-04T05:06:07.890Z\""));
    EXPECT_LT(bytes.indexOf("\"apps\""), bytes.indexOf("\"exportedAt\""));
    EXPECT_LT(bytes.indexOf("\"createdAt\""), bytes.indexOf("\"editedAt\""));
    // Absent values leave their keys out rather than writing null.
    EXPECT_FALSE(bytes.contains("null"));
    const QJsonObject plain = fullDocument()["pinboards"][0]["clips"][0].toObject();
    EXPECT_FALSE(plain.contains("image") || plain.contains("imageWidth") || plain.contains("filePaths"));
    EXPECT_EQ(plain["id"].toString(), plain["id"].toString().toUpper());
}

struct ReadCase
{
    const char *name;
    std::function<void(QJsonObject &)> change;
    ArchiveError::Kind kind;
    const char *text; // empty: the file reads
};

QJsonObject firstClip(const QJsonObject &doc) { return doc["pinboards"][0]["clips"][0].toObject(); }

std::function<void(QJsonObject &)> setClip(const QString &key, const QJsonValue &value)
{
    return [key, value](QJsonObject &doc) {
        QJsonObject clip = firstClip(doc);
        if (value.isUndefined())
            clip.remove(key);
        else
            clip[key] = value;
        QJsonArray boards = doc["pinboards"].toArray();
        QJsonObject board = boards[0].toObject();
        QJsonArray clips = board["clips"].toArray();
        clips[0] = clip;
        board["clips"] = clips;
        boards[0] = board;
        doc["pinboards"] = boards;
    };
}

std::function<void(QJsonObject &)> setTop(const QString &key, const QJsonValue &value)
{
    return [key, value](QJsonObject &doc) { doc[key] = value; };
}

TEST(PinboardArchiveTest, ReaderAcceptsAndRefusesAsTheFormatSays)
{
    using K = ArchiveError::Kind;
    const QString png = QString::fromLatin1(testing::encodedImage(QSize(1, 1), Qt::red).toBase64());
    const std::vector<ReadCase> cases{
        {"format in other case", setTop("format", "Tamo-Pinboards"), K::notPinboards,
         "This file doesn't contain TamoCove pinboards."},
        {"version 2", setTop("version", 2), K::newerVersion,
         "This file was made by a newer version of TamoCove. Update TamoCove to import it."},
        {"version 0", setTop("version", 0), K::decoding, ""},
        {"version -3", setTop("version", -3), K::decoding, ""},
        {"version fraction", setTop("version", 1.5), K::decoding, "The value for the key “version” has the wrong type."},
        {"version huge", setTop("version", 1e300), K::decoding, "The value for the key “version” has the wrong type."},
        {"empty object", [](QJsonObject &doc) { doc = {}; }, K::decoding, "The value for the key “format” is missing."},
        {"no keywords", setClip("keywords", QJsonValue::Undefined), K::decoding,
         "The value for the key “keywords” is missing."},
        {"empty keywords", setClip("keywords", QJsonArray()), K::decoding, ""},
        {"null title", setClip("title", QJsonValue::Null), K::decoding, ""},
        {"null createdAt", setClip("createdAt", QJsonValue::Null), K::decoding,
         "The value for the key “createdAt” is missing."},
        {"date with offset", setClip("createdAt", "2024-01-01T00:00:00.500+02:00"), K::decoding, ""},
        {"date with blank", setClip("createdAt", "2024-01-01 00:00:00"), K::decoding,
         "Invalid date: 2024-01-01 00:00:00"},
        {"date without zone", setClip("pinnedAt", "2024-01-01T00:00:00"), K::decoding,
         "Invalid date: 2024-01-01T00:00:00"},
        {"date as number", setClip("createdAt", 0), K::decoding, "The value for the key “createdAt” has the wrong type."},
        {"uuid in braces", setClip("id", "{8F2C1A3E-0B7D-4C61-9E51-3F1A2B4C5D6E}"), K::decoding,
         "The value for the key “id” is not a valid UUID."},
        {"uuid lower case", setClip("id", "8f2c1a3e-0b7d-4c61-9e51-3f1a2b4c5d6e"), K::decoding, ""},
        {"base64 without padding", setClip("rtf", "YWI"), K::decoding, "The value for the key “rtf” is not valid Base64 data."},
        {"base64 stray bits", setClip("rtf", "YWJ="), K::decoding, "The value for the key “rtf” is not valid Base64 data."},
        {"base64 on two lines", setClip("rtf", "YWJj\nYWJj"), K::decoding,
         "The value for the key “rtf” is not valid Base64 data."},
        {"image that is no image", setClip("image", "YWJj"), K::decoding, "An image in the file can't be read."},
        {"image that decodes", setClip("image", png), K::decoding, ""},
        {"huge image width", setClip("imageWidth", 1e12), K::decoding,
         "The value for the key “imageWidth” is out of range."},
        {"keyword of wrong type", setClip("keywords", QJsonArray{1}), K::decoding,
         "The value for the key “keywords” has the wrong type."},
        {"clip that is no object", [](QJsonObject &doc) {
             doc["pinboards"] = QJsonArray{QJsonObject{{"name", "a"}, {"color", "Blue"}, {"clips", QJsonArray{1}}}};
         }, K::decoding, "A clip is not a JSON object."},
        {"unknown keys", setTop("later", QJsonObject{{"x", 1}}), K::decoding, ""},
    };
    for (const ReadCase &c : cases) {
        QJsonObject doc = fullDocument();
        c.change(doc);
        const QByteArray bytes = QJsonDocument(doc).toJson();
        try {
            PinboardArchive::decode(bytes);
            EXPECT_STREQ(c.text, "") << c.name;
        } catch (const ArchiveError &error) {
            EXPECT_EQ(error.kind(), c.kind) << c.name;
            EXPECT_EQ(error.text(), QString::fromUtf8(c.text)) << c.name;
        }
    }
}

TEST(PinboardArchiveTest, RefusesBytesThatAreNoJsonDocument)
{
    for (const QByteArray &bytes : {QByteArray("{\"format\": \"tamo-pinboards\xC3\x28\"}"), QByteArray("[1, 2]"),
                                    QByteArray(2000, '[') + QByteArray(2000, ']'), QByteArray("{\"a\": ")}) {
        try {
            PinboardArchive::decode(bytes);
            ADD_FAILURE() << bytes.left(40).toStdString();
        } catch (const ArchiveError &error) {
            EXPECT_EQ(error.kind(), ArchiveError::Kind::decoding);
        }
    }
}

// A file valid but for its encoding once passed without the check, unseen:
// the only case of it also lacked "version".
TEST(PinboardArchiveTest, InvalidUtf8InsideAClipTextIsRefusedWithItsOwnMessage)
{
    const std::pair<const char *, QByteArray> cases[] = {
        {"stray continuation byte", "\x80"},
        {"lead byte without its continuation", "\xC3\x28"},
        {"overlong slash", "\xC0\xAF"},
        {"surrogate half", "\xED\xA0\x80"},
        {"past U+10FFFF", "\xF4\x90\x80\x80"},
        {"cut before the quote", "\xE2\x82"},
    };
    const PinboardArchive archive = fullArchive();
    const QByteArray valid = archive.encode();
    ASSERT_TRUE(valid.contains("quoted"));
    EXPECT_TRUE(PinboardArchive::decode("\xEF\xBB\xBF" + valid) == archive); // a byte-order mark is no fault
    for (const auto &[name, bad] : cases) {
        QByteArray bytes = valid;
        bytes.replace("quoted", "quoted" + bad);
        try {
            PinboardArchive::decode(bytes);
            ADD_FAILURE() << name;
        } catch (const ArchiveError &error) {
            EXPECT_EQ(error.kind(), ArchiveError::Kind::decoding) << name;
            EXPECT_EQ(error.text(), QStringLiteral("The file isn't valid UTF-8 text.")) << name;
        }
    }
}

// A refused file of 170 MB once cost 1.55 GB: counts are now refused while
// the file is read, one clip at a time.
TEST(PinboardArchiveTest, CountsAreRefusedWhileReadingWhereverTheFileKeepsThem)
{
    const auto repeated = [](const char *element, qsizetype count) {
        QByteArray list = QByteArray(element).append(',').repeated(count);
        list.chop(1);
        return list;
    };
    const QByteArray manyClips = repeated(R"({"kind":"text","keywords":[],"createdAt":"2026-01-01T00:00:00Z"})",
                                          PinboardArchive::maxClips / 2 + 1);
    const QByteArray manyBoards = repeated(R"({"name":"a","color":"Blue","clips":[]})", PinboardArchive::maxPinboards + 1);
    const auto file = [](const QByteArray &pinboards, const QByteArray &extra = {}) {
        return R"({"format":"tamo-pinboards","version":1,"exportedAt":"2026-01-02T03:04:05Z","apps":[],)" + extra +
               R"("pinboards":[)" + pinboards + "]}";
    };
    const std::vector<std::tuple<const char *, QByteArray, const char *>> cases{
        {"clips over two pinboards",
         file(R"({"name":"a","color":"Blue","clips":[)" + manyClips + R"(]},{"clips":[)" + manyClips + "]}"),
         "The file holds more than 1000000 clips."},
        // Refused on the way, not once the whole document is built.
        {"clips in a file cut short after them", file(R"({"clips":[)" + manyClips + "," + manyClips).chopped(2),
         "The file holds more than 1000000 clips."},
        {"pinboards", file(manyBoards), "The file holds more than 1000 pinboards."},
        {"pinboards under an escaped key", file({}, R"("\u0070inboards":[)" + manyBoards + "],"),
         "The file holds more than 1000 pinboards."},
        // Where the format keeps no pinboards, lists of any length are no pinboards.
        {"pinboards inside an unknown key", file({}, R"("later":{"pinboards":[)" + manyBoards + "]},"), nullptr},
        {"brackets and quotes inside texts",
         file(R"({"name":"a\"],[{","color":"Blue","clips":[{"kind":"text","text":"}]}\\","keywords":["]"],)"
              R"("createdAt":"2026-01-01T00:00:00Z"}]})"),
         nullptr},
    };
    // Read as an import reads them, keeping no clip.
    struct Discard final : PinboardDocumentSink
    {
        void clip(PinboardArchive::Clip) override {}
        void pinboard(PinboardArchive::Board) override {}
        void app(PinboardArchive::App) override {}
    } discard;
    for (const auto &[name, bytes, refusal] : cases) {
        try {
            QBuffer buffer;
            buffer.setData(bytes);
            buffer.open(QIODevice::ReadOnly);
            JsonStream stream([&buffer](char *into, qint64 maxBytes) { return buffer.read(into, maxBytes); });
            readPinboardDocument(stream, discard);
            EXPECT_FALSE(refusal) << name;
        } catch (const ArchiveError &error) {
            EXPECT_EQ(error.text().toStdString(), refusal ? refusal : "") << name;
        }
    }
}

// A document of pieces, each repeated, read as an import reads it (keeping
// no clip): values of hundreds of megabytes without holding their text. The
// error the user is shown, empty when the document reads.
struct Piece
{
    QByteArray bytes;
    qint64 times = 1;
};

QString readingError(const std::vector<Piece> &pieces)
{
    struct Discard final : PinboardDocumentSink
    {
        void clip(PinboardArchive::Clip) override {}
        void pinboard(PinboardArchive::Board) override {}
        void app(PinboardArchive::App) override {}
    } discard;
    std::size_t piece = 0;
    qint64 done = 0; // bytes of the current piece's repeats handed out
    JsonStream stream([&](char *into, qint64 maxBytes) {
        qint64 filled = 0;
        while (filled < maxBytes && piece < pieces.size()) {
            const QByteArray &bytes = pieces[piece].bytes;
            const qint64 total = bytes.size() * pieces[piece].times;
            if (done == total) {
                ++piece, done = 0;
                continue;
            }
            const qint64 offset = done % bytes.size();
            const qint64 count = std::min({maxBytes - filled, total - done, bytes.size() - offset});
            std::memcpy(into + filled, bytes.constData() + offset, std::size_t(count));
            filled += count, done += count;
        }
        return filled;
    });
    try {
        readPinboardDocument(stream, discard);
        return {};
    } catch (const ArchiveError &error) {
        return error.text();
    }
}

std::vector<Piece> joined(std::initializer_list<std::vector<Piece>> parts)
{
    std::vector<Piece> all;
    for (const auto &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<Piece> text(qint64 characters) { return {{"\""}, {"x", characters}, {"\""}}; }

std::vector<Piece> list(qint64 entries) { return {{"[\"k\""}, {",\"k\"", entries - 1}, {"]"}}; }

// Base64 of `bytes`, then of zeros up to `size` bytes, as a JSON string.
std::vector<Piece> base64(qint64 size, QByteArray bytes = {})
{
    bytes.append((3 - bytes.size() % 3) % 3, '\0');
    const qint64 zeros = size - bytes.size();
    const char *last[] = {"", "AA==", "AAA="};
    return {{'"' + bytes.toBase64()}, {"AAAA", zeros / 3}, {last[zeros % 3]}, {"\""}};
}

const QByteArray documentHead = R"({"format":"tamo-pinboards","version":1,"exportedAt":"2026-01-02T03:04:05Z",)";

// The value as the last key of a clip, a pinboard or an app.
std::vector<Piece> inClip(const char *key, const std::vector<Piece> &value)
{
    return joined({{{documentHead + R"("apps":[],"pinboards":[{"name":"a","color":"Blue","clips":[{"kind":"text",)"
                                    R"("keywords":[],"createdAt":"2026-01-01T00:00:00Z",")" + key + "\":"}},
                   value, {{"}]}]}"}}});
}

std::vector<Piece> inBoard(const char *key, const std::vector<Piece> &value)
{
    return joined({{{documentHead + R"("apps":[],"pinboards":[{"name":"a","color":"Blue","clips":[],")" + key + "\":"}},
                   value, {{"}]}"}}});
}

std::vector<Piece> inApp(const char *key, const std::vector<Piece> &value)
{
    return joined({{{documentHead + R"("pinboards":[],"apps":[{"bundleID":"a","tint":"#000000",")" + key + "\":"}},
                   value, {{"}]}"}}});
}

// Apps whose icons come to `size` bytes, a megabyte an icon.
std::vector<Piece> iconsOf(qint64 size)
{
    constexpr qint64 icon = PinboardArchive::maxIconBytes;
    const auto app = [](qint64 bytes) {
        QByteArray piece = R"({"bundleID":"a","tint":"#000000","icon":)";
        for (const Piece &part : base64(bytes))
            piece += part.bytes.repeated(part.times);
        return piece + "}";
    };
    return {{documentHead + R"("pinboards":[],"apps":[)" + app(icon)},
            {"," + app(icon), size / icon - 1},
            {size % icon ? "," + app(size % icon) : QByteArray()},
            {"]}"}};
}

// Each count and value of the file has its cap: a file at every cap reads,
// one past it is refused with what the user is shown.
TEST(PinboardArchiveTest, EveryCountAndValueIsReadUpToItsCapAndRefusedPastIt)
{
    using A = PinboardArchive;
    const QByteArray png = testing::encodedImage(QSize(2, 2), Qt::red);
    const std::vector<std::tuple<const char *, qint64, std::function<std::vector<Piece>(qint64)>, const char *>> cases{
        {"apps", A::maxApps,
         [](qint64 n) {
             return std::vector<Piece>{{documentHead + R"("pinboards":[],"apps":[{"bundleID":"a","tint":"#0"})"},
                                       {R"(,{"bundleID":"a","tint":"#0"})", n - 1}, {"]}"}};
         },
         "The file holds more than 10000 apps."},
        {"keywords of a clip", A::maxKeywords, [](qint64 n) { return inClip("keywords", list(n)); },
         "The value for the key “keywords” holds more than 10000 entries."},
        {"file paths of a clip", ClipLimits::mostFiles, [](qint64 n) { return inClip("filePaths", list(n)); },
         "The value for the key “filePaths” holds more than 10000 entries."},
        {"keyword", A::maxNameLength, [](qint64 n) { return inClip("keywords", joined({{{"["}}, text(n), {{"]"}}})); },
         "The value for the key “keywords” is longer than 1024 characters."},
        {"file path", ClipLimits::longestPath, [](qint64 n) { return inClip("filePaths", joined({{{"["}}, text(n), {{"]"}}})); },
         "The value for the key “filePaths” is longer than 4096 characters."},
        {"clip's bundle id", A::maxNameLength, [](qint64 n) { return inClip("sourceBundleID", text(n)); },
         "The value for the key “sourceBundleID” is longer than 1024 characters."},
        {"clip's app name", A::maxNameLength, [](qint64 n) { return inClip("sourceAppName", text(n)); },
         "The value for the key “sourceAppName” is longer than 1024 characters."},
        {"emoji", A::maxWordLength, [](qint64 n) { return inClip("iconEmoji", text(n)); },
         "The value for the key “iconEmoji” is longer than 256 characters."},
        {"kind", A::maxWordLength, [](qint64 n) { return inClip("kind", text(n)); },
         "The value for the key “kind” is longer than 256 characters."},
        {"colour", A::maxWordLength, [](qint64 n) { return inBoard("color", text(n)); },
         "The value for the key “color” is longer than 256 characters."},
        {"app's bundle id", A::maxNameLength, [](qint64 n) { return inApp("bundleID", text(n)); },
         "The value for the key “bundleID” is longer than 1024 characters."},
        {"app's name", A::maxNameLength, [](qint64 n) { return inApp("name", text(n)); },
         "The value for the key “name” is longer than 1024 characters."},
        {"tint", A::maxWordLength, [](qint64 n) { return inApp("tint", text(n)); },
         "The value for the key “tint” is longer than 256 characters."},
        {"icon", A::maxIconBytes, [](qint64 n) { return inApp("icon", base64(n)); },
         "The value for the key “icon” is larger than 1 MB."},
        {"icons together", A::maxIconsBytes, iconsOf, "The app icons in the file come to more than 64 MB."},
        {"rich text", A::maxRtfBytes, [](qint64 n) { return inClip("rtf", base64(n)); },
         "The value for the key “rtf” is larger than 256 MB."},
        {"image", A::maxImageBytes, [&png](qint64 n) { return inClip("image", base64(n, png)); },
         "The value for the key “image” is larger than 256 MB."},
    };
    for (const auto &[name, cap, make, refusal] : cases) {
        EXPECT_EQ(readingError(make(cap)), QString()) << name;
        EXPECT_EQ(readingError(make(cap + 1)).toStdString(), refusal) << name;
    }
}

TEST(PinboardArchiveTest, NamesAndTitlesAreCutToWhatCanBeTyped)
{
    PinboardArchive archive = fullArchive();
    archive.pinboards[0].name = QString(100000, u'n');
    archive.pinboards[0].clips[0].title = QString(300000, u't');
    const PinboardArchive read = PinboardArchive::decode(archive.encode());
    EXPECT_EQ(read.pinboards[0].name, QString(maxTypedLength, u'n'));
    EXPECT_EQ(read.pinboards[0].clips[0].title, QString(maxTypedLength, u't'));
    EXPECT_EQ(read.pinboards[1].name, QStringLiteral("Empty"));
}

TEST(PinboardArchiveTest, TextsAreCutAsACopyIsCut)
{
    PinboardArchive archive = fullArchive();
    auto &clips = archive.pinboards[0].clips;
    clips[0].text = QString(ClipDraft::largestText + 1024 * 1024, u'a');
    clips[1] = clips[0];
    clips[1].title.reset();
    const PinboardArchive read = PinboardArchive::decode(archive.encode());
    for (const auto &clip : read.pinboards[0].clips.first(2))
        EXPECT_EQ(clip.text->size(), ClipDraft::largestText);
    EXPECT_EQ(read.pinboards[0].clips[0].title, QStringLiteral("Meeting"));
    EXPECT_EQ(read.pinboards[0].clips[1].title, QStringLiteral("Cut to the first 16 MB of 17 MB"));
}

TEST(PinboardArchiveTest, DatesNeedAFullDateTimeWithZone)
{
    const std::vector<std::pair<const char *, const char *>> cases{
        {"2024-01-01T00:00:00Z", "2024-01-01T00:00:00.000Z"},
        {"2024-01-01T00:00:00.5+02:00", "2023-12-31T22:00:00.500Z"},
        {"2024-01-01t00:00:00.123456z", "2024-01-01T00:00:00.123Z"},
        {"2024-02-30T00:00:00Z", nullptr},
        {"2024-01-01T24:00:00Z", nullptr},
        {"2024-01-01T00:00:00+0200", nullptr},
        {"2024-01-01T00:00:00.Z", nullptr},
        {"2024-01-01T00:00:00Z ", nullptr},
        {"+2024-01-01T00:00:00Z", nullptr},
    };
    for (const auto &[text, expected] : cases) {
        const auto date = strict::parseInternetDate(QString::fromLatin1(text));
        if (expected)
            EXPECT_EQ(date ? strict::formatInternetDate(*date) : QString(), QString::fromLatin1(expected)) << text;
        else
            EXPECT_FALSE(date) << text;
    }
}

TEST(PinboardArchiveTest, PaletteNamesIgnoreCaseAndFallBackToTheFirst)
{
    const std::vector<std::pair<const char *, int>> cases{{"teal", 8}, {"GRAY", 1}, {"Blue", 0}, {"Mauve", 0}, {"", 0}};
    for (const auto &[name, index] : cases)
        EXPECT_EQ(paletteIndexNamed(QString::fromUtf8(name)), index) << name;
    EXPECT_EQ(PinboardArchive::paletteName(9), QStringLiteral("Blue"));
}

struct MergeCase
{
    const char *name;
    std::optional<QDateTime> localEdit;
    std::optional<QDateTime> fileEdit;
    std::optional<QString> fileTitle;
    QStringList fileKeywords;
    std::optional<QString> fileEmoji;
    MergedMetadata expected;
};

TEST(PinboardArchiveTest, MergeTakesTheLaterEditElseFillsIn)
{
    const QDateTime early = utc("2025-01-01T00:00:00Z");
    const QDateTime late = utc("2025-06-01T00:00:00Z");
    const auto local = testing::textClip(QStringLiteral("x"));
    local->setTitle(QStringLiteral("Mine"));
    local->setKeywords({QStringLiteral("Work")});
    const std::vector<MergeCase> cases{
        {"file edited later wins even with empty values", early, late, QString(), {}, QStringLiteral("🙂🙂"),
         {std::nullopt, {}, std::nullopt, true}},
        {"local edit stays", late, early, QStringLiteral("Theirs"), {QStringLiteral("x")}, std::nullopt,
         {QStringLiteral("Mine"), {QStringLiteral("Work")}, std::nullopt, false}},
        {"local edit and no file edit", early, std::nullopt, QStringLiteral("Theirs"), {}, std::nullopt,
         {QStringLiteral("Mine"), {QStringLiteral("Work")}, std::nullopt, false}},
        {"neither edited fills in", std::nullopt, std::nullopt, QStringLiteral("Theirs"),
         {QStringLiteral("work"), QStringLiteral("Home"), QStringLiteral("home")}, QStringLiteral("📌"),
         {QStringLiteral("Mine"), {QStringLiteral("Work"), QStringLiteral("Home")}, QStringLiteral("📌"), false}},
    };
    for (const MergeCase &c : cases) {
        PinboardArchive::Clip file{.kind = QStringLiteral("text"), .title = c.fileTitle, .keywords = c.fileKeywords,
                                   .iconEmoji = c.fileEmoji, .editedAt = c.fileEdit};
        const MergedMetadata merged = mergedMetadata(*local, file, c.localEdit);
        EXPECT_TRUE(merged.sameValues(c.expected)) << c.name;
        EXPECT_EQ(merged.fileWon, c.expected.fileWon) << c.name;
    }
}

} // namespace
} // namespace tamo
