#include "model/TypedText.h"

#include <gtest/gtest.h>

using namespace tamo;

TEST(TypedTextTest, LongTextsAreCutWithoutSplittingACharacter)
{
    const QString pair = QStringLiteral("😀");
    const struct
    {
        const char *name;
        QString text;
        QString expected;
    } cases[] = {
        {"short", QStringLiteral("Work"), QStringLiteral("Work")},
        {"exactly the limit", QString(maxTypedLength, u'a'), QString(maxTypedLength, u'a')},
        {"over the limit", QString(maxTypedLength + 5, u'a'), QString(maxTypedLength, u'a')},
        {"a pair across the limit", QString(maxTypedLength - 1, u'a') + pair, QString(maxTypedLength - 1, u'a')},
        {"a pair just inside", QString(maxTypedLength - 2, u'a') + pair + u'b', QString(maxTypedLength - 2, u'a') + pair},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cappedTypedText(c.text), c.expected) << c.name;
    EXPECT_EQ(cappedTypedText(std::optional<QString>()), std::nullopt);
}
