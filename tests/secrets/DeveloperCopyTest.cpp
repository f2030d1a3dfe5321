#include "secrets/SecretDetector.h"

#include "support/DeveloperCopies.h"
#include "support/TestNames.h"

#include <QString>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

class DeveloperCopyTest : public ::testing::TestWithParam<DeveloperCopy>
{
};

TEST_P(DeveloperCopyTest, IsNeverTakenForASecret)
{
    EXPECT_FALSE(SecretDetector::containsSecret(GetParam().text)) << qPrintable(GetParam().text.left(400));
}

INSTANTIATE_TEST_SUITE_P(Copies, DeveloperCopyTest, ::testing::ValuesIn(developerCopies()),
                         [](const ::testing::TestParamInfo<DeveloperCopy> &info) { return tamo::testing::testNameOf(info.param.why); });

} // namespace
