#include "model/TextSearch.h"

#include <QString>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

struct Containment
{
    const char16_t *haystack;
    const char16_t *needle;
    bool expected;
};

} // namespace

TEST(TextMatcher, IgnoresCaseDiacriticsAndWidth)
{
    const Containment cases[] = {
        {u"Café", u"cafe", true},
        {u"CAFÉ", u"cafe", true},
        {u"cafe", u"Café", true},
        {u"cafe\u0301 au lait", u"CAFÉ AU", true},
        {u"Straße", u"STRASSE", true},
        {u"ΟΔΥΣΣΕΥΣ", u"Οδυσσεύς", true},
        {u"Привет, мир", u"ПРИВЕТ", true},
        {u"ﬁle", u"file", true},
        {u"profile", u"ﬁ", true},
        {u"ＡＢＣ１２３", u"abc123", true},
        {u"abc", u"ＡＢＣ", true},
        {u"𝐁𝐨𝐥𝐝 text", u"bold", true},
        {u"I ❤️ 😀 emoji", u"😀", true},
        {u"😀", u"😁", false},
        {u"foo bar", u"o b", true},
        {u"foo bar", u"bar foo", false},
        {u"abc", u"abcd", false},
        {u"", u"a", false},
        {u"abc", u"", true},
        {u"", u"", true},
    };
    for (const Containment &c : cases) {
        const QString haystack = QString::fromUtf16(c.haystack);
        const QString needle = QString::fromUtf16(c.needle);
        EXPECT_EQ(localizedStandardContains(haystack, needle), c.expected)
            << haystack.toStdString() << " / " << needle.toStdString();
    }
}

TEST(TextMatcher, FindsMatchesAtEveryOffsetOfALongText)
{
    // Fillers that fold to one and to two units shift the match across the
    // matcher's internal buffer boundaries.
    const TextMatcher matcher(u"CAFE AU");
    for (const QString &filler : {QStringLiteral("x"), QStringLiteral("ß")}) {
        for (int offset = 0; offset < 5000; ++offset) {
            const QString before = filler.repeated(offset);
            const QString after = filler.repeated(5000 - offset);
            ASSERT_TRUE(matcher.foundIn(before + QStringLiteral("Café au") + after)) << offset;
            ASSERT_FALSE(matcher.foundIn(before + QStringLiteral("Café a") + after)) << offset;
        }
    }
}

TEST(TextMatcher, SearchesAHugeText)
{
    const QString huge = QString(50'000'000, u'a') + QStringLiteral("Café");
    EXPECT_TRUE(TextMatcher(u"CAFE").foundIn(huge));
    EXPECT_FALSE(TextMatcher(u"cafx").foundIn(huge));
}

TEST(TextMatcher, HandlesANeedleLongerThanItsBuffer)
{
    const QString needle = QStringLiteral("Ünïcode ").repeated(2000);
    const QString haystack = QStringLiteral("start ") + needle.toUpper() + QStringLiteral(" end");
    EXPECT_TRUE(localizedStandardContains(haystack, needle));
    EXPECT_FALSE(localizedStandardContains(haystack.left(haystack.size() - 10), needle));
}
