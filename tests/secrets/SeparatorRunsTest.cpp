#include "secrets/SeparatorRuns.h"

#include <gtest/gtest.h>

using namespace tamo;

namespace {

struct Case
{
    const char *name;
    std::string text;
    std::vector<std::vector<uint32_t>> found; // by shape: dash run, capital token, dotted run
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

class SeparatorRunsTest : public ::testing::TestWithParam<Case>
{
};

TEST_P(SeparatorRunsTest, FindsTheSeparatorsThatStartARun)
{
    const SeparatorRunFinder finder({{"_-", 4, false, false}, {"_", 4, false, true}, {".:", 4, true, false}});
    EXPECT_EQ(finder.find(GetParam().text), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SeparatorRunsTest,
    ::testing::Values(Case{"Empty", "", {{}, {}, {}}},
                      Case{"RunTooShort", "a_abc a-ab.", {{}, {}, {}}},
                      Case{"RunAtTheEnd", "x_abcd", {{1}, {}, {}}},
                      // A dash ends a run of letters and digits, not one that takes dashes.
                      Case{"DashesInRun", "a-b-cdef .a-b_c", {{3}, {}, {9}}},
                      // The capital may stand anywhere in the token, before the separator too.
                      Case{"CapitalInToken", "Ab_cdef ab_cdef ab_cdeF_ghij", {{2, 10, 18, 23}, {2, 18, 23}, {}}},
                      Case{"SeparatorsOfEveryShape", "k:abcd_wxyz", {{6}, {}, {1}}},
                      // A byte one above a separator, next to it, is no separator.
                      Case{"ByteNextToASeparator", "_^abcdefgh", {{}, {}, {}}},
                      // Words of eight bytes with no separator are skipped whole.
                      Case{"PastWordsWithoutSeparators", std::string(21, ' ') + "_Abcd" + std::string(17, ' ') + "_x",
                           {{21}, {21}, {}}}),
    [](const ::testing::TestParamInfo<Case> &info) { return info.param.name; });

} // namespace
