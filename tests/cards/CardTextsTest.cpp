#include "cards/CardTexts.h"

#include "model/ClipDraft.h"
#include "model/ClipItem.h"

#include <gtest/gtest.h>

using namespace tamo;

TEST(CardTexts, AgeIsShortAndSwitchesToADateAfterAWeek)
{
    const QDateTime now(QDate(2026, 3, 15), QTime(12, 0));
    const QLocale english(QLocale::English);
    const struct {
        QDateTime created;
        const char *age;
    } rows[] = {
        {now, "now"},
        {now.addSecs(-59), "now"},
        {now.addSecs(60), "now"},             // another machine's clock ahead of ours
        {now.addSecs(-60), "1m"},
        {now.addSecs(-180), "3m"},            // the settings' sample clip
        {now.addSecs(-3599), "59m"},
        {now.addSecs(-3600), "1h"},
        {now.addSecs(-86399), "23h"},
        {now.addDays(-1), "1d"},
        {now.addDays(-6), "6d"},
        {now.addDays(-7), "8 Mar"},
        {QDateTime(QDate(2025, 12, 24), QTime(9, 0)), "24 Dec 2025"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(compactAge(row.created, now, english), QString::fromUtf8(row.age)) << row.created.toString().toStdString();

    // Clips of one second are of one age, whatever their milliseconds.
    const QDateTime secondCopied = now.addSecs(-60);
    for (const int ms : {100, 900})
        EXPECT_EQ(compactAge(secondCopied.addMSecs(ms), now.addMSecs(500), english), QStringLiteral("1m")) << ms;
}

TEST(CardTexts, LabelIsTheTitleThenTheAppThenTheKind)
{
    auto clip = [](ClipDraft draft) { return ClipItem(draft, QDateTime::currentDateTime()); };
    ClipItem fromApp = clip(ClipDraft::fromText(QStringLiteral("x"), {}, QStringLiteral("org.example.Notes"),
                                                QStringLiteral("Notes")));
    EXPECT_EQ(cardLabel(fromApp), QStringLiteral("Notes"));
    fromApp.setTitle(QStringLiteral("  Trip  "));
    EXPECT_EQ(cardLabel(fromApp), QStringLiteral("Trip"));
    fromApp.setTitle(QStringLiteral("   "));
    EXPECT_EQ(cardLabel(fromApp), QStringLiteral("Notes"));

    EXPECT_EQ(cardLabel(clip(ClipDraft::fromText(QStringLiteral("https://example.org")))), QStringLiteral("Link"));
    EXPECT_EQ(cardLabel(clip(ClipDraft::fromText(QStringLiteral("#fff"), {}, {}, QStringLiteral(" ")))),
              QStringLiteral("Color"));
}

TEST(CardTexts, ColourTextsAsCaptureClassifiesThem)
{
    const struct {
        const char *text;
        QColor color; // invalid: not a colour
    } rows[] = {
        {"#FF9500", QColor(255, 149, 0)},
        {"  #ff9500\n", QColor(255, 149, 0)},
        {"#0af", QColor(0x00, 0xAA, 0xFF)},
        {"#3478F680", QColor(0x34, 0x78, 0xF6, 0x80)}, // alpha last, as the web writes it
        {"#12345", QColor()},
        {"#GGGGGG", QColor()},
        {"#+FFFFF", QColor()},
        {"FF9500", QColor()},
        {"#", QColor()},
    };
    for (const auto &row : rows) {
        const auto color = colorFromHexText(QString::fromUtf8(row.text));
        EXPECT_EQ(color.has_value(), row.color.isValid()) << row.text;
        if (color && row.color.isValid()) {
            EXPECT_EQ(color->rgba(), row.color.rgba()) << row.text;
        }
    }
}

TEST(CardTexts, FileNamesAndTheFilesLeftOver)
{
    EXPECT_EQ(fileDisplayName(QStringLiteral("/home/ana/Reports/Q3.pdf")), QStringLiteral("Q3.pdf"));
    EXPECT_EQ(fileDisplayName(QStringLiteral("/home/ana/Reports/")), QStringLiteral("Reports"));
    EXPECT_EQ(fileDisplayName(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(moreFilesText(0), QString());
    EXPECT_EQ(moreFilesText(3), QStringLiteral("+ 3 more"));
}
