#include "secrets/LiteralFinder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tamo;

namespace {

struct Case
{
    const char *name;
    std::vector<std::string> literals;
    std::string text;
    std::vector<std::vector<uint32_t>> found;
};

std::string textWith(const std::string &literal, std::initializer_list<size_t> offsets)
{
    std::string text(64 * 1024, 'x');
    for (size_t offset : offsets)
        text.replace(offset, literal.size(), literal);
    return text;
}

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

class LiteralFinderTest : public ::testing::TestWithParam<Case>
{
};

TEST_P(LiteralFinderTest, FindsEveryOccurrence)
{
    const Case &c = GetParam();
    const LiteralFinder finder(c.literals);
    LiteralFinder::Found found;
    finder.find(c.text, found);
    EXPECT_EQ(found.byLiteral(), c.found);
    // Found again after a longer text, the lists hold this text's occurrences alone.
    finder.find(c.text + c.text, found);
    finder.find(c.text, found);
    EXPECT_EQ(found.byLiteral(), c.found);
    const bool anyFound = std::any_of(c.found.begin(), c.found.end(), [](const auto &at) { return !at.empty(); });
    EXPECT_EQ(found.literals().size(), size_t(std::count_if(c.found.begin(), c.found.end(), [](const auto &at) { return !at.empty(); })));
    EXPECT_EQ(finder.occursIn(c.text), anyFound);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LiteralFinderTest,
    ::testing::Values(Case{"NothingInEmptyText", {"key"}, "", {{}}},
                      Case{"IgnoresCase", {"token"}, "TOKEN Token token", {{0, 6, 12}}},
                      Case{"OverlappingOccurrences", {"aa"}, "aaaa", {{0, 1, 2}}},
                      // A literal ending inside another is found through the fallback.
                      Case{"LiteralInsideAnother", {"password", "word", "pass"}, "xpassword", {{1}, {5}, {1}}},
                      Case{"RestartsAfterAFalseStart", {"secret"}, "secsecret", {{3}}},
                      Case{"BytesNoLiteralHolds", {"key"}, "\x80k\xffkey\x80", {{3}}},
                      Case{"SharedPrefixes", {"api_key", "api_token"}, "api_token api_key", {{10}, {0}}},
                      // A long text is read in stripes: a literal across, on or by their
                      // edges is found once.
                      Case{"AcrossStripeEdges", {"token"}, textWith("token", {0, 16382, 32768, 49151, 65531}),
                           {{0, 16382, 32768, 49151, 65531}}}),
    [](const ::testing::TestParamInfo<Case> &info) { return info.param.name; });

} // namespace
