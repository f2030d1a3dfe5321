#include "transfer/JsonStream.h"
#include "transfer/PinboardArchive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace tamo;

namespace {

// A stream over `bytes`, handed out `chunk` bytes at a time so that values
// cross the reader's refills.
JsonStream streamOver(const QByteArray &bytes, qsizetype chunk = 3, JsonStream::Limits limits = {})
{
    auto offset = std::make_shared<qsizetype>(0);
    return JsonStream(
        [bytes, offset, chunk](char *into, qint64 maxBytes) {
            const qsizetype count = std::min({qsizetype(maxBytes), chunk, bytes.size() - *offset});
            std::memcpy(into, bytes.constData() + *offset, std::size_t(count));
            *offset += count;
            return qint64(count);
        },
        nullptr, limits);
}

// Every string's characters, as a sink is handed them.
struct CollectingSink final : JsonStream::StringSink
{
    void take(QLatin1StringView ascii) override { text += ascii; }
    void take(char16_t unit) override { text += QChar(unit); }
    QString text;
};

} // namespace

TEST(JsonStreamTest, StringsKeepWhatIsAskedForAndCountTheWhole)
{
    struct Case
    {
        const char *name;
        QByteArray json;
        qsizetype keep;
        QString text;
        qsizetype length;
    };
    const std::vector<Case> cases{
        {"plain", R"("abcdef")", 100, QStringLiteral("abcdef"), 6},
        {"cut", R"("abcdef")", 4, QStringLiteral("abcd"), 6},
        {"escapes", R"("a\"\\\/\n\u00e9")", 100, QStringLiteral("a\"\\/\né"), 6},
        {"pair escaped", R"("\ud83d\ude00")", 100, QStringLiteral("😀"), 2},
        {"pair in UTF-8", "\"\xF0\x9F\x98\x80\"", 100, QStringLiteral("😀"), 2},
        {"lone high surrogate", R"("\ud83dx")", 100, QStringLiteral("\uFFFDx"), 2},
        {"lone low surrogate", R"("\ude00")", 100, QStringLiteral("\uFFFD"), 1},
        {"lone high surrogate before an escape", R"("\ud83d\n")", 100, QStringLiteral("\uFFFD\n"), 2},
    };
    for (const Case &c : cases) {
        JsonStream stream = streamOver(c.json);
        ASSERT_EQ(stream.next(), JsonStream::Token::string) << c.name;
        qsizetype length = 0;
        EXPECT_EQ(stream.string(c.keep, &length), c.text) << c.name;
        EXPECT_EQ(length, c.length) << c.name;
        EXPECT_EQ(stream.next(), JsonStream::Token::end) << c.name;
    }
}

TEST(JsonStreamTest, RefusesWhatIsNoJson)
{
    for (const QByteArray &bytes :
         {QByteArray(R"({"a":1}x)"), QByteArray(R"({"a" 1})"), QByteArray(R"([1,])"), QByteArray(R"(["a)"),
          QByteArray("[\"\x01\"]"), QByteArray(R"(["\x"])"), QByteArray(R"(["\ud83d\x"])"), QByteArray("[01]"), QByteArray("[1.]"), QByteArray("[tru]"),
          QByteArray(1025, '[') + QByteArray(1025, ']'), QByteArray()}) {
        JsonStream stream = streamOver(bytes);
        EXPECT_THROW(
            {
                while (stream.next() != JsonStream::Token::end) {
                }
            },
            ArchiveError)
            << bytes.left(30).toStdString();
    }
}

TEST(JsonStreamTest, SkipsNestedValuesAndReadsNumbers)
{
    JsonStream stream = streamOver(R"({"skip":{"a":[1,{"b":"}"}]},"n":-1.5e2,"t":true})");
    ASSERT_EQ(stream.next(), JsonStream::Token::objectStart);
    ASSERT_EQ(stream.next(), JsonStream::Token::key);
    stream.skipValue(stream.next());
    ASSERT_EQ(stream.next(), JsonStream::Token::key);
    EXPECT_EQ(stream.key(), QStringLiteral("n"));
    ASSERT_EQ(stream.next(), JsonStream::Token::number);
    EXPECT_EQ(stream.number(), -150.0);
    ASSERT_EQ(stream.next(), JsonStream::Token::key);
    ASSERT_EQ(stream.next(), JsonStream::Token::boolean);
    EXPECT_TRUE(stream.boolean());
    EXPECT_EQ(stream.next(), JsonStream::Token::objectEnd);
    EXPECT_EQ(stream.next(), JsonStream::Token::end);
}

TEST(JsonStreamTest, ANumberTooLongToReadIsNoNumberButValidJson)
{
    JsonStream stream = streamOver("[1" + QByteArray(2000, '0') + "]");
    ASSERT_EQ(stream.next(), JsonStream::Token::arrayStart);
    ASSERT_EQ(stream.next(), JsonStream::Token::number);
    EXPECT_TRUE(std::isnan(stream.number()));
    EXPECT_EQ(stream.next(), JsonStream::Token::arrayEnd);
    EXPECT_EQ(stream.next(), JsonStream::Token::end);
}

TEST(JsonStreamTest, AnInputLimitEndsTheReadCutKeepingWhatCameBefore)
{
    const struct
    {
        const char *name;
        QByteArray json;
        qint64 limit;
        QString text; // of the strings read
        bool cut;
    } cases[] = {
        {"within a string", R"(["abc", "d\u00e9fgh"])", 17, QStringLiteral("abcd\u00e9f"), true},
        {"within an escape", R"(["ab\u00e9"])", 8, QStringLiteral("ab"), true},
        {"after half a pair", R"(["ab\ud83d\ude00"])", 10, QStringLiteral("ab"), true},
        {"within UTF-8", "[\"ab\xC3\xA9\"]", 5, QStringLiteral("ab"), true},
        {"within a number", "[12345]", 4, {}, true},
        {"right after the document", R"(["ab"] )", 6, QStringLiteral("ab"), true},
        {"a document as long as the limit", R"(["ab"])", 6, QStringLiteral("ab"), false},
    };
    for (const auto &c : cases) {
        JsonStream stream = streamOver(c.json, 3, {.inputBytes = c.limit});
        CollectingSink sink;
        bool cut = false;
        try {
            for (JsonStream::Token token = stream.next(); token != JsonStream::Token::end; token = stream.next()) {
                if (token == JsonStream::Token::string)
                    stream.string(sink);
            }
        } catch (const InputCut &) {
            cut = true;
        }
        EXPECT_EQ(sink.text, c.text) << c.name;
        EXPECT_EQ(cut, c.cut) << c.name;
        EXPECT_LE(stream.position(), c.limit) << c.name;
    }
}

TEST(JsonStreamTest, ASourceThatFailsIsReadUpToItsFailure)
{
    bool handedOut = false;
    JsonStream stream([&](char *into, qint64) -> qint64 {
        if (std::exchange(handedOut, true))
            return -1;
        std::memcpy(into, R"(["ab",)", 6);
        return 6;
    });
    ASSERT_EQ(stream.next(), JsonStream::Token::arrayStart);
    ASSERT_EQ(stream.next(), JsonStream::Token::string);
    EXPECT_EQ(stream.string(10), QStringLiteral("ab"));
    EXPECT_THROW(stream.next(), ArchiveError);
}
