#include "secrets/PatternSource.h"

#include <re2/re2.h>

#include <gtest/gtest.h>

using namespace tamo;

namespace {

struct OpeningsCase
{
    const char *pattern;
    std::optional<std::vector<std::string_view>> openings;
};

class PatternOpeningsTest : public ::testing::TestWithParam<OpeningsCase>
{
};

TEST_P(PatternOpeningsTest, ReadsHowEveryMatchOpens)
{
    EXPECT_EQ(patternOpenings(GetParam().pattern), GetParam().openings) << GetParam().pattern;
}

using Openings = std::vector<std::string_view>;

INSTANTIATE_TEST_SUITE_P(
    Patterns, PatternOpeningsTest,
    ::testing::Values(OpeningsCase{R"((?i)(?:key|token)[0-9A-Za-z_.-]{0,40}[=:])", Openings{"key", "token"}},
                      OpeningsCase{R"(-----BEGIN [A-Z0-9 ]{0,40}PRIVATE KEY)", Openings{"-----BEGIN "}},
                      OpeningsCase{R"((LS0tLS1CRUdJTi[0-9A-Za-z+/]{40,}))", Openings{"LS0tLS1CRUdJTi"}},
                      OpeningsCase{R"(keys?=)", Openings{"key"}},
                      OpeningsCase{R"((?i)(?:use it|generated (?:security )?password)x)", Openings{"use it", "generated "}},
                      OpeningsCase{R"(a[|)]b|c)", Openings{"a", "c"}},
                      // Openings that may be left out, or are not plain characters: none.
                      OpeningsCase{R"((?:abc)?def)", std::nullopt},
                      OpeningsCase{R"((?:abc|def)x|ghi)", std::nullopt},
                      OpeningsCase{R"((?:abc|)x)", std::nullopt},
                      OpeningsCase{R"((?m)^[ \t]*x)", std::nullopt},
                      OpeningsCase{R"(\bkey)", std::nullopt},
                      OpeningsCase{R"((?i:key)=)", std::nullopt}));

struct CrossingCase
{
    const char *pattern;
    bool mayCrossLines;
};

class PatternCrossingTest : public ::testing::TestWithParam<CrossingCase>
{
};

TEST_P(PatternCrossingTest, ReadsWhetherAMatchMayHoldALineBreak)
{
    EXPECT_EQ(patternMayCrossLines(GetParam().pattern), GetParam().mayCrossLines) << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(Patterns, PatternCrossingTest,
                         ::testing::Values(CrossingCase{R"(key[^"]{4,})", true}, CrossingCase{R"(key\s+x)", true},
                                           CrossingCase{R"((?s)a.b)", true}, CrossingCase{R"([]\n]x)", true},
                                           CrossingCase{R"(key[^\s"]{4,})", false}, CrossingCase{R"(a[\]\s-]b)", true},
                                           CrossingCase{R"(a\[^x]b)", false}, CrossingCase{R"(ghp_[0-9A-Za-z]{36})", false}));

struct LastRunCase
{
    const char *pattern;
    std::optional<std::string> open;
};

class LastRunOpenTest : public ::testing::TestWithParam<LastRunCase>
{
};

TEST_P(LastRunOpenTest, LeavesOnlyALastBoundedRunOpen)
{
    EXPECT_EQ(withLastRunOpen(GetParam().pattern), GetParam().open) << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, LastRunOpenTest,
    ::testing::Values(LastRunCase{R"(x(\S{8,128}))", R"(x(\S{8,}))"},
                      LastRunCase{R"((?m)(?:^|\s)-u ([^\s'"]{1,200}))", R"((?m)(?:^|\s)-u ([^\s'"]{1,}))"},
                      LastRunCase{R"(x(\S{8,128})y)", std::nullopt},
                      LastRunCase{R"(a|x(\S{1,5}))", std::nullopt},
                      LastRunCase{R"(x(?:\S{1,5}))", std::nullopt},
                      LastRunCase{R"(x((?:ab){1,5}))", std::nullopt}));

// Anchored at both ends of what the bounded pattern matched, the open one
// reads the very groups the bounded one does: the first separator that a
// long enough value follows, and no more of a long value than the bound.
TEST(LastRunOpenTest, ReadsTheGroupsTheBoundedPatternReads)
{
    const std::string bounded = R"((?i)(?:temporary|initial) password[^\n]{0,40}?(?::|\n)[ \t\r\n]*(\S{8,12}))";
    const RE2 pattern(bounded);
    const RE2 open(*withLastRunOpen(bounded));
    for (const std::string text : {"temporary password: hunter2x", "Initial password: ab: c:\n  hunter2xyz99 more",
                                   "temporary password: 0123456789abcdefghij", "temporary password:x:y:abcdefghijklm"}) {
        re2::StringPiece match, expected[2], read[2];
        ASSERT_TRUE(pattern.Match(text, 0, text.size(), RE2::UNANCHORED, &match, 1)) << text;
        const size_t begin = size_t(match.data() - text.data());
        ASSERT_TRUE(pattern.Match(text, begin, begin + match.size(), RE2::ANCHOR_BOTH, expected, 2));
        ASSERT_TRUE(open.Match(text, begin, begin + match.size(), RE2::ANCHOR_BOTH, read, 2)) << text;
        EXPECT_EQ(read[1], expected[1]) << text;
    }
}

} // namespace
