#include "transfer/JsonStream.h"
#include "transfer/PinboardArchive.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tamo;

namespace {

// A stream over `bytes`, handed out `chunk` bytes at a time so that values
// cross the reader's refills.
JsonStream streamOver(const QByteArray &bytes, qsizetype chunk = 3)
{
    auto offset = std::make_shared<qsizetype>(0);
    return JsonStream([bytes, offset, chunk](char *into, qint64 maxBytes) {
        const qsizetype count = std::min({qsizetype(maxBytes), chunk, bytes.size() - *offset});
        std::memcpy(into, bytes.constData() + *offset, std::size_t(count));
        *offset += count;
        return qint64(count);
    });
}

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
          QByteArray("[\"\x01\"]"), QByteArray(R"(["\x"])"), QByteArray("[01]"), QByteArray("[1.]"), QByteArray("[tru]"),
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
