#include "transfer/Base64Decoder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tamo {
namespace {

using Status = Base64Decoder::Status;

// Every text decodes the same however it is split, also one unit at a time.
TEST(Base64DecoderTest, DecodesOnlyTheOneStrictEncodingWhereverItsTextIsSplit)
{
    const std::vector<std::tuple<const char *, const char *, Status, QByteArray>> cases{
        {"empty", "", Status::ok, ""},
        {"one byte", "YQ==", Status::ok, "a"},
        {"two bytes", "YWI=", Status::ok, "ab"},
        {"three bytes", "YWJj", Status::ok, "abc"},
        {"every value", "+/8A", Status::ok, QByteArray("\xFB\xFF\x00", 3)},
        {"unpadded", "YQ", Status::invalid, {}},
        {"one padding where two belong", "YQ=", Status::invalid, {}},
        {"padding first", "=YWJ", Status::invalid, {}},
        {"padding in second place", "Y===", Status::invalid, {}},
        {"text after the padding", "YQ==YQ==", Status::invalid, {}},
        {"text inside the padding", "YQ=j", Status::invalid, {}},
        {"unused bits set before two paddings", "YR==", Status::invalid, {}},
        {"unused bits set before one padding", "YWJ=", Status::invalid, {}},
        {"a line break", "YWJj\nYWJj", Status::invalid, {}},
        {"a blank", "YWJj YWJj", Status::invalid, {}},
        {"the URL alphabet", "-_8A", Status::invalid, {}},
        {"a non-ASCII character", "YWJ\xC3\xA9", Status::invalid, {}},
        {"one byte past the cap", "YWJjZGVmZw==", Status::tooLarge, {}},
        {"up to the cap", "YWJjZGVm", Status::ok, "abcdef"},
    };
    constexpr qsizetype cap = 6;
    for (const auto &[name, text, status, bytes] : cases) {
        const QString units = QString::fromUtf8(text);
        for (qsizetype split = 0; split <= units.size(); ++split) {
            Base64Decoder decoder(cap);
            // The head as a run of ASCII where it is one, the rest a unit at a time.
            const QString head = units.first(split);
            const bool ascii = std::all_of(head.cbegin(), head.cend(), [](QChar c) { return c.unicode() < 0x80; });
            const QByteArray run = head.toLatin1();
            if (ascii)
                decoder.take(QLatin1StringView(run));
            for (QChar unit : ascii ? units.sliced(split) : units)
                decoder.take(unit.unicode());
            EXPECT_EQ(decoder.finish(), status) << name << " split at " << split;
            EXPECT_EQ(decoder.takeBytes(), bytes) << name << " split at " << split;
        }
    }
}

} // namespace
} // namespace tamo
