#include "model/ClipKind.h"
#include "model/Emoji.h"
#include "model/PinboardPalette.h"
#include "model/SearchFilter.h"
#include "model/Selection.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace tamo;

TEST(ClipKindRaw, RoundTripsEveryKindAndNothingElse)
{
    for (ClipKind kind : {ClipKind::text, ClipKind::link, ClipKind::image, ClipKind::file, ClipKind::color})
        EXPECT_EQ(clipKindFromRaw(rawValue(kind)), kind);
    for (const char16_t *raw : {u"", u"Text", u"TEXT", u" text", u"url", u"colour"})
        EXPECT_FALSE(clipKindFromRaw(raw)) << QString::fromUtf16(raw).toStdString();
}

TEST(SearchFilterValue, HashingFollowsTheChipsValues)
{
    const auto notes = [](const char *name) { return SearchFilter::app(QStringLiteral("org.example.Notes"), QLatin1String(name)); };
    const QSet<SearchFilter> set{SearchFilter::kind(ClipKind::text), SearchFilter::kind(ClipKind::text),
                                 SearchFilter::kind(ClipKind::link), notes("Notes"), notes("Notes"), notes("Notes 2"),
                                 SearchFilter::app(QString(), QString())};
    EXPECT_EQ(set.size(), 5);
}

TEST(RangeSelection, SpansAnchorToTargetByFirstPosition)
{
    const QUuid a = QUuid::createUuid(), b = QUuid::createUuid(), c = QUuid::createUuid(),
                d = QUuid::createUuid(), missing = QUuid::createUuid();
    const QList<QUuid> order{a, b, c, d, b};

    struct Case
    {
        const char *name;
        QUuid anchor, target;
        QSet<QUuid> expected;
    };
    const Case cases[] = {
        {"forward", a, c, {a, b, c}},
        {"backward", d, b, {b, c, d}},
        {"anchor is target", c, c, {c}},
        {"repeated id counts first", b, a, {a, b}},
        {"anchor missing", missing, c, {c}},
        {"target missing", a, missing, {missing}},
    };
    for (const Case &test : cases)
        EXPECT_EQ(rangeSelection(test.anchor, test.target, order), test.expected) << test.name;
    EXPECT_EQ(rangeSelection(a, b, {}), QSet<QUuid>{b});
}

TEST(SingleEmoji, AcceptsOneEmojiCharacterOnly)
{
    const std::pair<const char16_t *, bool> cases[] = {
        {u"😀", true},
        {u"❤️", true},
        {u"👍🏽", true},
        {u"☝🏽", true},
        {u"👨‍👩‍👧", true},
        {u"#️⃣", true},
        {u"🇫🇷", true},
        {u"🏴󠁧󠁢󠁳󠁣󠁴󠁿", true},
        {u"©️", true},
        {u"", false},
        {u"a", false},
        {u"1", false},
        {u"#", false},
        {u"©", false},
        {u"❤", false},
        {u"😀😀", false},
        {u"😀 ", false},
        {u"🇫🇷🇩🇪", false},
        {u"ab", false},
        {u"é", false},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(isSingleEmoji(text), expected) << QString::fromUtf16(text).toStdString();
}

TEST(PinboardPalette, IndexesWrapOntoTheNineColours)
{
    ASSERT_EQ(pinboardPalette().size(), 9);
    const std::pair<int, const char *> cases[] = {{0, "Blue"}, {5, "Red"}, {9, "Blue"}, {17, "Teal"},
                                                   {-1, "Teal"}, {-9, "Blue"}, {-10, "Teal"}};
    for (const auto &[index, name] : cases)
        EXPECT_EQ(paletteEntry(index).name, QLatin1String(name)) << index;
}

TEST(PinboardPalette, NearestColourPrefersTheLowerIndexOnATie)
{
    const auto nearest = [](int r, int g, int b) { return nearestPaletteIndex(r / 255.0, g / 255.0, b / 255.0); };

    const QList<PaletteEntry> &palette = pinboardPalette();
    for (int i = 0; i < palette.size(); ++i) {
        const QColor color = palette.at(i).color;
        EXPECT_EQ(nearest(color.red(), color.green(), color.blue()), i) << i;
    }
    EXPECT_EQ(nearestPaletteIndex(1, 0, 0), 5);  // Red
    EXPECT_EQ(nearestPaletteIndex(0, 1, 0), 4);  // Green
    EXPECT_EQ(nearest(0, 161, 218), 0);          // as near Teal (8) as Blue (0)
    EXPECT_EQ(nearest(255, 104, 24), 5);         // as near Orange (6) as Red (5)
}
