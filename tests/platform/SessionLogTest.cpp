#include "platform/SessionLog.h"
#include "platform/SystemLog.h"

#include "support/WarningLog.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <functional>

using namespace tamo;

// Without a journal, a support report once held none of our own lines.
TEST(SessionLog, KeepsWhatThisRunLoggedAndPassesItOn)
{
    const tamo::testing::WarningLog stderrLines;
    const sessionlog::Recording recording;
    const struct
    {
        const char *name;
        std::function<void()> log;
        QString kept;
    } cases[] = {
        {"a warning", [] { qWarning("TamoCove: the store is busy"); }, QStringLiteral(" warning: TamoCove: the store is busy")},
        {"a line for the system log", [] { writeSystemLog(QStringLiteral("middle-click"), QStringLiteral("Waiting")); },
         QStringLiteral(" middle-click: Waiting")},
        {"a line break inside stays one line", [] { qWarning("one\ntwo"); }, QStringLiteral(" warning: one two")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        c.log();
        const QStringList lines = sessionlog::text().split(u'\n', Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.last().endsWith(c.kept)) << lines.last().toStdString();
    }
    EXPECT_EQ(stderrLines.messages(), (QStringList{"TamoCove: the store is busy", "one\ntwo"}));
}

TEST(SessionLog, KeepsTheNewestLinesWithinItsBound)
{
    const QString longLine(sessionlog::lineCharacters * 2, u'x');
    for (int i = 0; i < 3 * sessionlog::keptCharacters / sessionlog::lineCharacters; ++i)
        sessionlog::append(longLine);
    sessionlog::append(QStringLiteral("the newest"));
    const QString text = sessionlog::text();
    EXPECT_LE(text.size(), sessionlog::keptCharacters + text.count(u'\n'));
    EXPECT_GT(text.size(), sessionlog::keptCharacters / 2);
    EXPECT_TRUE(text.endsWith(QStringLiteral(" the newest\n")));
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
        EXPECT_LE(line.size(), sessionlog::lineCharacters + 40) << "a line is cut";
}
