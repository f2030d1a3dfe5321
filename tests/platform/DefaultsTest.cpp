#include "platform/Defaults.h"
#include "platform/DefaultsFile.h"

#include "support/HangGuard.h"
#include "support/TempDir.h"
#include "support/WarningLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTimeZone>
#include <QUrl>
#include <gtest/gtest.h>

#include <cmath>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

using tamo::Defaults;
using tamo::testing::TempDir;
using tamo::testing::readFile;
using tamo::testing::writeFile;
using tamo::testing::WarningLog;

namespace {

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(Defaults, EveryTypeSurvivesAReopen)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("defaults.json"));
    const QDateTime pinned(QDate(2026, 3, 15), QTime(9, 30, 15, 123), QTimeZone(3600));
    const QByteArray bytes("\x00\xff\x01png\n", 8);
    const QVariantMap nested{
        {QStringLiteral("when"), pinned},
        {QStringLiteral("bytes"), bytes},
        {QStringLiteral("$date"), QStringLiteral("not a tag")},  // a user key that looks like a tag
        {QStringLiteral("$$x"), 1},
        {QStringLiteral("list"), QVariantList{1, QStringLiteral("two"), 3.5}},
    };
    {
        Defaults defaults(path);
        defaults.setValue(QStringLiteral("bool"), true);
        defaults.setValue(QStringLiteral("int"), 42);
        defaults.setValue(QStringLiteral("big"), qint64(9007199254740993LL));
        defaults.setValue(QStringLiteral("double"), 0.75);
        defaults.setValue(QStringLiteral("string"), QStringLiteral("⇧⌘V"));
        defaults.setValue(QStringLiteral("empty"), QString());
        defaults.setValue(QStringLiteral("strings"), QStringList{QStringLiteral("a"), QStringLiteral("b")});
        defaults.setValue(QStringLiteral("dictionary"), nested);
        defaults.setValue(QStringLiteral("data"), bytes);
        defaults.setValue(QStringLiteral("date"), pinned);
        ASSERT_TRUE(defaults.flush());

        Defaults reopened(path);
        EXPECT_EQ(reopened.persistentEntries(), defaults.persistentEntries());
    }

    Defaults defaults(path);
    EXPECT_TRUE(defaults.boolValue(QStringLiteral("bool")));
    EXPECT_EQ(defaults.integer(QStringLiteral("int")), 42);
    EXPECT_EQ(defaults.integer(QStringLiteral("big")), 9007199254740993LL);
    EXPECT_EQ(defaults.doubleValue(QStringLiteral("double")), 0.75);
    EXPECT_EQ(defaults.string(QStringLiteral("string")), QStringLiteral("⇧⌘V"));
    EXPECT_EQ(defaults.string(QStringLiteral("empty")), QString());
    EXPECT_EQ(defaults.stringList(QStringLiteral("strings")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(defaults.data(QStringLiteral("data")), bytes);
    EXPECT_EQ(defaults.date(QStringLiteral("date")), pinned);
    EXPECT_EQ(defaults.date(QStringLiteral("date"))->toMSecsSinceEpoch(), pinned.toMSecsSinceEpoch());

    const QVariantMap dictionary = defaults.dictionary(QStringLiteral("dictionary"));
    EXPECT_EQ(dictionary.keys(), nested.keys());
    EXPECT_EQ(dictionary.value(QStringLiteral("when")).toDateTime(), pinned);
    EXPECT_EQ(dictionary.value(QStringLiteral("bytes")).toByteArray(), bytes);
    EXPECT_EQ(dictionary.value(QStringLiteral("$date")).toString(), QStringLiteral("not a tag"));
    EXPECT_EQ(dictionary.value(QStringLiteral("list")).toList().at(1).toString(), QStringLiteral("two"));
}

TEST(Defaults, TypedReadsConvertNumbersAndRejectOtherTypes)
{
    struct Case
    {
        const char *name;
        QVariant stored;
        bool asBool;
        qint64 asInteger;
        double asDouble;
    };
    const Case cases[] = {
        {"missing", QVariant(), false, 0, 0.0},
        {"whole number", 2, true, 2, 2.0},
        {"zero", 0, false, 0, 0.0},
        {"fraction", 2.7, true, 2, 2.7},
        {"negative fraction", -0.5, true, 0, -0.5},
        {"true", true, true, 1, 1.0},
        {"false", false, false, 0, 0.0},
        {"numeric text", QStringLiteral(" 12 "), true, 12, 12.0},
        {"word true", QStringLiteral("YES"), true, 0, 0.0},
        {"other text", QStringLiteral("abc"), false, 0, 0.0},
        {"non-finite text", QStringLiteral("inf"), false, 0, 0.0},
        {"huge", 1e300, true, std::numeric_limits<qint64>::max(), 1e300},
        {"date", QDateTime(QDate(2026, 1, 1), QTime(0, 0)), false, 0, 0.0},
    };
    TempDir dir;
    Defaults defaults(dir.file(QStringLiteral("defaults.json")));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        defaults.setValue(QStringLiteral("key"), c.stored);
        EXPECT_EQ(defaults.boolValue(QStringLiteral("key")), c.asBool);
        EXPECT_EQ(defaults.integer(QStringLiteral("key")), c.asInteger);
        EXPECT_EQ(defaults.doubleValue(QStringLiteral("key")), c.asDouble);
    }

    defaults.setValue(QStringLiteral("number"), 1);
    EXPECT_EQ(defaults.string(QStringLiteral("number")), std::nullopt);
    EXPECT_EQ(defaults.date(QStringLiteral("number")), std::nullopt);
    EXPECT_TRUE(defaults.data(QStringLiteral("number")).isEmpty());
    defaults.setValue(QStringLiteral("mixed"), QVariantList{QStringLiteral("a"), 1});
    EXPECT_TRUE(defaults.stringList(QStringLiteral("mixed")).isEmpty());
    defaults.setValue(QStringLiteral("text"), QStringLiteral("abc"));
    EXPECT_TRUE(defaults.data(QStringLiteral("text")).isEmpty());
    EXPECT_TRUE(defaults.dictionary(QStringLiteral("text")).isEmpty());
}

TEST(Defaults, ValuesWithoutAFileFormAreRefused)
{
    TempDir dir;
    Defaults defaults(dir.file(QStringLiteral("defaults.json")));
    WarningLog warnings;
    EXPECT_FALSE(defaults.setValue(QStringLiteral("url"), QUrl(QStringLiteral("https://example.org"))));
    EXPECT_FALSE(defaults.setValue(QStringLiteral("nan"), std::nan("")));
    EXPECT_FALSE(defaults.setValue(QStringLiteral("badDate"), QDateTime()));
    EXPECT_FALSE(defaults.setValue(QStringLiteral("nested"), QVariantMap{{QStringLiteral("u"), QUrl()}}));
    EXPECT_TRUE(defaults.persistentEntries().isEmpty());
    EXPECT_EQ(warnings.messages().size(), 4);
}

TEST(Defaults, RegisteredValuesAreFallbacksNeverWritten)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("defaults.json"));
    {
        Defaults defaults(path);
        defaults.registerDefaults({{QStringLiteral("capacity"), 2}, {QStringLiteral("notice"), QStringLiteral("card")}});
        EXPECT_EQ(defaults.integer(QStringLiteral("capacity")), 2);
        EXPECT_FALSE(defaults.hasPersistentValue(QStringLiteral("capacity")));

        defaults.setValue(QStringLiteral("notice"), QStringLiteral("icon"));
        EXPECT_EQ(defaults.persistentEntries(), (QVariantMap{{QStringLiteral("notice"), QStringLiteral("icon")}}));

        // Writing the registered value itself counts as written.
        defaults.setValue(QStringLiteral("capacity"), 2);
        EXPECT_TRUE(defaults.hasPersistentValue(QStringLiteral("capacity")));
        defaults.remove(QStringLiteral("capacity"));
        EXPECT_FALSE(defaults.hasPersistentValue(QStringLiteral("capacity")));
        EXPECT_EQ(defaults.integer(QStringLiteral("capacity")), 2);

        defaults.remove(QStringLiteral("notice"));
        EXPECT_EQ(defaults.string(QStringLiteral("notice")), QStringLiteral("card"));
        defaults.setValue(QStringLiteral("notice"), QStringLiteral("none"));
    }

    const QByteArray file = readFile(path);
    EXPECT_FALSE(file.contains("capacity"));
    Defaults reopened(path);
    EXPECT_EQ(reopened.persistentEntries(), (QVariantMap{{QStringLiteral("notice"), QStringLiteral("none")}}));
    EXPECT_FALSE(reopened.value(QStringLiteral("capacity")).isValid());
}

TEST(Defaults, ValueChangedFiresOnlyWhenTheReadValueChanges)
{
    TempDir dir;
    Defaults defaults(dir.file(QStringLiteral("defaults.json")));
    QSignalSpy changed(&defaults, &Defaults::valueChanged);
    const auto changes = [&changed] {
        QStringList keys;
        for (const QList<QVariant> &call : changed)
            keys.append(call.at(0).toString());
        changed.clear();
        return keys;
    };

    defaults.registerDefaults({{QStringLiteral("sound"), true}});
    EXPECT_EQ(changes(), QStringList{QStringLiteral("sound")});
    defaults.registerDefaults({{QStringLiteral("sound"), true}});
    defaults.setValue(QStringLiteral("sound"), true);  // written, yet it reads the same
    defaults.remove(QStringLiteral("sound"));
    defaults.remove(QStringLiteral("never"));
    EXPECT_EQ(changes(), QStringList());

    defaults.setValue(QStringLiteral("scale"), 1.5);
    defaults.setValue(QStringLiteral("scale"), 1.5);
    defaults.setValue(QStringLiteral("flag"), 1);
    defaults.setValue(QStringLiteral("flag"), true);  // same truth, different stored value
    defaults.setValue(QStringLiteral("apps"), QStringList{QStringLiteral("a")});
    defaults.setValue(QStringLiteral("apps"), QVariantList{QStringLiteral("a")});
    defaults.registerDefaults({{QStringLiteral("scale"), 1.0}});  // hidden by the written value
    defaults.remove(QStringLiteral("scale"));                     // now reads the registered 1.0
    EXPECT_EQ(changes(), (QStringList{QStringLiteral("scale"), QStringLiteral("flag"), QStringLiteral("flag"),
                                      QStringLiteral("apps"), QStringLiteral("scale")}));
}

TEST(Defaults, ChangesReachTheFileWithinOneEventLoopTurnAndAtomically)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("config/TamoCove/defaults.json"));
    Defaults defaults(path);
    for (int i = 0; i < 50; ++i)
        defaults.setValue(QStringLiteral("count"), i);
    EXPECT_FALSE(QFile::exists(path));  // coalesced, not written per change

    QCoreApplication::processEvents();
    EXPECT_EQ(Defaults(path).integer(QStringLiteral("count")), 49);
    EXPECT_EQ(filesIn(QFileInfo(path).absolutePath()), QStringList{QStringLiteral("defaults.json")});

    // The next save replaces the file whole: a reader holding the old one
    // (here a hard link to it) never sees it rewritten in place.
    const QString holder = dir.file(QStringLiteral("held.json"));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(holder).constData()), 0);
    const QByteArray saved = readFile(path);
    defaults.setValue(QStringLiteral("count"), 50);
    ASSERT_TRUE(defaults.flush());
    EXPECT_EQ(readFile(holder), saved);
    EXPECT_EQ(Defaults(path).integer(QStringLiteral("count")), 50);
}

TEST(Defaults, AFailedWriteIsReportedAndKeptForTheNextTry)
{
    TempDir dir;
    writeFile(dir.file(QStringLiteral("blocker")), "a file where a folder should be");
    Defaults defaults(dir.file(QStringLiteral("blocker/defaults.json")));
    WarningLog warnings;

    defaults.setValue(QStringLiteral("key"), 1);
    EXPECT_FALSE(defaults.flush());
    EXPECT_EQ(defaults.integer(QStringLiteral("key")), 1);
    ASSERT_EQ(warnings.messages().size(), 1);
    EXPECT_TRUE(warnings.messages().first().startsWith(QStringLiteral("TamoCove: ")));
    EXPECT_FALSE(warnings.messages().first().contains(QLatin1Char('\n')));

    EXPECT_FALSE(defaults.flush());  // still pending, so tried again
    EXPECT_EQ(warnings.messages().size(), 2);
}

TEST(Defaults, UnreadableFileIsMovedAsideReportedOnceAndReplaced)
{
    struct Case
    {
        const char *name;
        QByteArray contents;
    };
    const Case cases[] = {
        {"not JSON", "{\"historyCapacity\": 2,"},
        {"empty", ""},
        {"not an object", "[1, 2]"},
        {"invalid UTF-8", "{\"a\": \"\xff\xfe\"}"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const QString path = dir.file(QStringLiteral("defaults.json"));
        writeFile(path, c.contents);
        {
            Defaults defaults(path);
            ASSERT_TRUE(defaults.loadProblem().has_value());
            EXPECT_TRUE(defaults.persistentEntries().isEmpty());

            const QStringList files = filesIn(dir.path()).filter(QStringLiteral("unreadable"));
            ASSERT_EQ(files.size(), 1);
            EXPECT_TRUE(defaults.loadProblem()->contains(dir.file(files.first())));
            EXPECT_EQ(readFile(dir.file(files.first())), c.contents);

            defaults.registerDefaults({{QStringLiteral("capacity"), 2}});
            EXPECT_EQ(defaults.integer(QStringLiteral("capacity")), 2);
            defaults.setValue(QStringLiteral("sound"), false);
        }
        Defaults reopened(path);
        EXPECT_EQ(reopened.loadProblem(), std::nullopt);
        EXPECT_EQ(reopened.persistentEntries(), (QVariantMap{{QStringLiteral("sound"), false}}));
    }
}

TEST(Defaults, SettingsThatAreNoRegularFileOrTooLargeAreSetAsideWithoutWaiting)
{
    const tamo::testing::HangGuard guard("settings that are a FIFO");
    const char *const cases[] = {"fifo", "link to a fifo", "link to /dev/zero", "too large"};
    for (const char *name : cases) {
        SCOPED_TRACE(name);
        TempDir dir;
        const QString path = dir.file(QStringLiteral("defaults.json"));
        const QString fifo = dir.file(QStringLiteral("fifo"));
        const std::string_view kind(name);
        if (kind == "too large")
            writeFile(path, "{\"a\": \"" + QByteArray(tamo::DefaultsFile::largestFile, 'x') + "\"}");
        else if (kind == "link to /dev/zero")
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path));
        else
            ASSERT_EQ(::mkfifo(QFile::encodeName(kind == "fifo" ? path : fifo).constData(), 0600), 0);
        if (kind == "link to a fifo") {
            ASSERT_TRUE(QFile::link(fifo, path));
        }

        Defaults defaults(path);
        ASSERT_TRUE(defaults.loadProblem().has_value());
        EXPECT_TRUE(defaults.persistentEntries().isEmpty());
        const QStringList entries = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        EXPECT_EQ(entries.filter(QStringLiteral("unreadable")).size(), 1);
        defaults.setValue(QStringLiteral("sound"), false);
        EXPECT_TRUE(defaults.flush());
        EXPECT_EQ(Defaults(path).persistentEntries(), (QVariantMap{{QStringLiteral("sound"), false}}));
    }
}

TEST(Defaults, UnreadableEntriesAreSetAsideWhileTheRestIsKept)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("defaults.json"));
    const QByteArray contents = R"({"good": 1, "badDate": {"$date": "yesterday"}, "null": null})";
    writeFile(path, contents);
    {
        Defaults defaults(path);
        ASSERT_TRUE(defaults.loadProblem().has_value());
        EXPECT_EQ(defaults.persistentEntries(), (QVariantMap{{QStringLiteral("good"), 1}}));
        QCoreApplication::processEvents();  // the readable part is saved without waiting for a change
        EXPECT_EQ(Defaults(path).persistentEntries(), (QVariantMap{{QStringLiteral("good"), 1}}));
    }
    const QStringList aside = filesIn(dir.path()).filter(QStringLiteral("unreadable"));
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(dir.file(aside.first())), contents);
    EXPECT_EQ(Defaults(path).loadProblem(), std::nullopt);
}

// A long list once went out indented at three times its size, past what a
// launch reads back, and every setting was reset at the next start.
TEST(Defaults, WhatIsWrittenIsAlwaysReadBack)
{
    const auto ids = [](int count) {
        QStringList list;
        for (int i = 0; i < count; ++i)
            list.append(QStringLiteral("a%1").arg(i, 6, 10, QLatin1Char('0')));
        return list;
    };
    const struct
    {
        const char *name;
        QStringList list;
        bool written;
    } cases[] = {
        {"long, but under the cap when compact", ids(150'000), true},
        {"over the cap even when compact", ids(300'000), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const QString path = dir.file(QStringLiteral("defaults.json"));
        {
            Defaults defaults(path);
            defaults.setValue(QStringLiteral("sound"), false);
            ASSERT_TRUE(defaults.flush());
            WarningLog warnings;
            defaults.setValue(QStringLiteral("ignoredApps"), c.list);
            EXPECT_EQ(defaults.flush(), c.written);
            if (!c.written) {
                ASSERT_EQ(warnings.messages().size(), 1);
                EXPECT_TRUE(warnings.messages().first().contains(QLatin1String("more than the 2048 KB")))
                    << warnings.messages().first().toStdString();
            }
        }
        Defaults reopened(path);
        EXPECT_EQ(reopened.loadProblem(), std::nullopt);
        EXPECT_EQ(reopened.value(QStringLiteral("ignoredApps")).toStringList(), c.written ? c.list : QStringList());
        EXPECT_FALSE(reopened.boolValue(QStringLiteral("sound")));
        EXPECT_TRUE(filesIn(dir.path()).filter(QStringLiteral("unreadable")).isEmpty());
    }
}
