#include "app/AppModelFixture.h"
#include "support/FakeFilePanels.h"
#include "support/FakeScreens.h"

#include "app/CrashHandler.h"
#include "app/GlobalHotKeyRegistry.h"
#include "model/DefaultSettings.h"
#include "model/SettingsKeys.h"
#include "onboarding/SupportReport.h"
#include "onboarding/SupportSummary.h"
#include "platform/SessionLog.h"
#include "support/DesktopWords.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <thread>

#include <csignal>

#include <sys/stat.h>

namespace tamo::testing {
namespace {

void touch(const QString &path, const QDateTime &modified)
{
    writeFile(path, "report");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(modified, QFileDevice::FileModificationTime);
}

class SupportReportTest : public AppModelFixture
{
protected:
    SupportReportTest()
    {
        // A journal that answers the first two extracts and fails the third.
        writeFile(tools.file(QStringLiteral("journalctl")),
                  "#!/bin/sh\ncase \"$*\" in *syncthing*) echo 'no journal' >&2; exit 1;; esac\n"
                  "echo \"2026-03-15T11:00:00+0000 host tamocove[1]: args $*\"\n"
                  "echo '2026-03-14T09:30:12+0000 host tamocove[1]: sync: resetting internal state after error'\n");
        QFile::setPermissions(tools.file(QStringLiteral("journalctl")), QFile::ReadOwner | QFile::ExeOwner);
        // Temporary and runtime folders of the test's own, to see that a report leaves nothing in them.
        m_savedTemp = qgetenv("TMPDIR");
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    ~SupportReportTest() override
    {
        qputenv("TMPDIR", m_savedTemp);
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
    }

    bool temporaryFolderIsEmpty() const { return QDir(temp.path()).isEmpty() && QDir(runtime.path()).isEmpty(); }
    void answerJournal(const QByteArray &script)
    {
        writeFile(tools.file(QStringLiteral("journalctl")), "#!/bin/sh\n" + script);
    }

    // Makes a report at `destination` and waits for the answer.
    SupportReportResult make(const QString &destination, SupportReport::Tools toolPaths = {})
    {
        if (toolPaths.journalctl == QLatin1String("journalctl"))
            toolPaths.journalctl = tools.file(QStringLiteral("journalctl"));
        SupportReport report(startedModel(), defaults, panels, screens, crashes.path(), toolPaths);
        std::optional<SupportReportResult> result;
        panels.answer(destination);
        QObject receiver;
        report.create(&receiver, [&](const SupportReportResult &r) { result = r; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000));
        return result.value_or(SupportReportResult{});
    }

    static QStringList archiveEntries(const QString &archive)
    {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), archive});
        unzip.waitForFinished();
        QStringList entries = QString::fromUtf8(unzip.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        entries.sort();
        return entries;
    }

    static QString entryText(const QString &archive, const QString &entry)
    {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, entry});
        unzip.waitForFinished();
        return QString::fromUtf8(unzip.readAllStandardOutput());
    }

    TempDir temp;
    TempDir runtime;
    QByteArray m_savedTemp;
    QByteArray m_savedRuntime;
    TempDir tools;
    TempDir crashes;
    TempDir out;
    FakeFilePanels panels;
    FakeScreens screens;
};

TEST_F(SupportReportTest, ArchiveHoldsOneFolderWithTheTextsLogsAndRecentCrashes)
{
    const QDateTime now = QDateTime::currentDateTime();
    clock.set(now);
    touch(crashes.file(QStringLiteral("Vostra-2026.crash")), now.addDays(-29));
    touch(crashes.file(QStringLiteral("TamoCove-new.crash")), now.addSecs(-60));
    touch(crashes.file(QStringLiteral("TamoCove-old.crash")), now.addDays(-31));
    touch(crashes.file(QStringLiteral("tamocove-lower.crash")), now);
    touch(crashes.file(QStringLiteral("Other.crash")), now);
    const QString destination = out.file(QStringLiteral("Report.zip"));
    writeFile(destination, "an older report");

    sessionlog::append(QStringLiteral("sync: a line only this run has"));
    const SupportReportResult result = make(destination);
    EXPECT_EQ(result.error, QString());
    EXPECT_EQ(result.path, destination);
    EXPECT_EQ(panels.proposedNames, QStringList{SupportReport::defaultName(now)});
    EXPECT_EQ(archiveEntries(destination),
              (QStringList{"Report/", "Report/crashes/", "Report/crashes/TamoCove-new.crash",
                           "Report/crashes/Vostra-2026.crash", "Report/icloud.log", "Report/preferences.txt",
                           "Report/summary.txt", "Report/sync.log", "Report/tamo.log", "Report/this-run.log"}));
    EXPECT_TRUE(entryText(destination, QStringLiteral("Report/this-run.log"))
                    .contains(QLatin1String(" sync: a line only this run has\n")));
    EXPECT_EQ(entryText(destination, QStringLiteral("Report/icloud.log")),
              QStringLiteral("Could not read the log: journalctl stopped with code 1.\n"));
    EXPECT_TRUE(entryText(destination, QStringLiteral("Report/tamo.log")).contains(QLatin1String("_COMM=tamocove")));
    EXPECT_TRUE(entryText(destination, QStringLiteral("Report/summary.txt"))
                    .contains(QLatin1String("\nSync resets in the last 3d: 1, last at 2026-03-14T09:30:12\n")));
    EXPECT_TRUE(temporaryFolderIsEmpty());
}

TEST_F(SupportReportTest, FailuresLeaveTheDestinationAsItWas)
{
    const struct {
        const char *name;
        const char *zip;       // tool path; nullptr: the real one
        const char *existing;  // what lies at the destination first
        const char *error;
    } cases[] = {
        {"zip fails", "false", "old archive", "false stopped with code 1."},
        {"zip missing", "/nonexistent/zip", "old archive", "zip could not be started."},
        {"a folder is in the way", nullptr, nullptr, "is a folder."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString destination = out.file(QString::fromUtf8(c.name) + QStringLiteral(".zip"));
        if (c.existing)
            writeFile(destination, c.existing);
        else
            QDir().mkpath(destination + QStringLiteral("/kept"));
        SupportReport::Tools toolPaths;
        if (c.zip)
            toolPaths.zip = QString::fromUtf8(c.zip);
        const SupportReportResult result = make(destination, toolPaths);
        EXPECT_TRUE(result.path.isEmpty());
        EXPECT_TRUE(result.error.endsWith(QString::fromUtf8(c.error))) << result.error.toStdString();
        if (c.existing)
            EXPECT_EQ(readFile(destination), QByteArray(c.existing));
        else
            EXPECT_TRUE(QFileInfo::exists(destination + QStringLiteral("/kept")));
    }
    EXPECT_TRUE(temporaryFolderIsEmpty());
}

TEST_F(SupportReportTest, AToolThatHangsIsStoppedAndNoted)
{
    answerJournal("exec sleep 30\n");
    SupportReport::Tools toolPaths;
    toolPaths.timeoutMs = 300;
    const QString destination = out.file(QStringLiteral("Slow.zip"));
    const SupportReportResult result = make(destination, toolPaths);
    EXPECT_EQ(result.path, destination);
    EXPECT_EQ(entryText(destination, QStringLiteral("Slow/tamo.log")),
              QStringLiteral("Could not read the log: journalctl did not finish in time.\n"));
}

// journalctl ends with 1 when its --grep matches nothing: an empty extract, no failure.
TEST_F(SupportReportTest, AJournalThatMatchedNothingIsNoFailure)
{
    const struct
    {
        const char *name;
        QByteArray script;
        QString extract;
    } cases[] = {
        {"nothing matched", "echo '-- No entries --'; exit 1\n", "-- No entries --\n"},
        {"a failure", "echo 'Failed to open the journal' >&2; exit 1\n",
         "Could not read the log: journalctl stopped with code 1.\n"},
        {"another code", "echo '-- No entries --'; exit 2\n",
         "Could not read the log: journalctl stopped with code 2.\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        answerJournal(c.script);
        const QString destination = out.file(QStringLiteral("Quiet.zip"));
        ASSERT_EQ(make(destination).path, destination);
        EXPECT_EQ(entryText(destination, QStringLiteral("Quiet/sync.log")), c.extract);
    }
}

// Under a umask that lets others read, the working folder and its files are
// still the user's alone; it is in the session's runtime folder when there is one.
TEST_F(SupportReportTest, TheWorkingFolderIsPrivate)
{
    const mode_t savedMask = ::umask(022);
    const auto restoreMask = qScopeGuard([savedMask] { ::umask(savedMask); });
    answerJournal("echo \"$(dirname \"$(pwd -P)\") $(stat -c %a .) $(stat -L -c %a /proc/self/fd/1)\"\n");
    const struct
    {
        const char *name;
        bool runtimeFolder;
        QString parent;
    } cases[] = {
        {"in the runtime folder", true, runtime.path()},
        {"in the temporary folder", false, temp.path()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.runtimeFolder)
            qunsetenv("XDG_RUNTIME_DIR");
        const QString destination = out.file(QStringLiteral("Private.zip"));
        ASSERT_EQ(make(destination).path, destination);
        struct stat archive = {};
        ASSERT_EQ(::stat(QFile::encodeName(destination).constData(), &archive), 0);
        EXPECT_EQ(archive.st_mode & 0777, 0600u) << "the archive itself";
        EXPECT_EQ(entryText(destination, QStringLiteral("Private/tamo.log")),
                  QStringLiteral("%1 700 600\n").arg(QFileInfo(c.parent).canonicalFilePath()));
        QProcess modes;
        modes.start(QStringLiteral("unzip"), {QStringLiteral("-Z"), destination});
        modes.waitForFinished();
        for (const QString &line : QString::fromUtf8(modes.readAllStandardOutput()).split(u'\n')) {
            if (line.contains(QLatin1String("Private/"))) {
                EXPECT_TRUE(line.startsWith(QLatin1String("-rw------- ")) || line.startsWith(QLatin1String("drwx------ ")))
                    << line.toStdString();
            }
        }
    }
    EXPECT_TRUE(temporaryFolderIsEmpty());
}

TEST_F(SupportReportTest, CancellingWritesNothing)
{
    SupportReport report(startedModel(), defaults, panels, screens, crashes.path());
    panels.answer(std::nullopt);
    std::optional<SupportReportResult> result;
    report.create(nullptr, [&](const SupportReportResult &r) { result = r; });
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->path.isEmpty() && result->error.isEmpty());
}

namespace {

// Deep enough to overflow any thread's stack, and no loop a compiler could make of it.
int overflowStack(int depth)
{
    volatile char frame[512];
    frame[0] = char(depth);
    return depth == std::numeric_limits<int>::max() ? 0 : overflowStack(depth + 1) + frame[0];
}

// The report `crash` leaves in a fresh folder when the handler is installed
// before it. The dying child runs the test again from the start: it finds
// the parent's folder in its environment.
QByteArray reportAfter(const std::function<void()> &crash, int signal)
{
    TempDir ownFolder;
    if (qEnvironmentVariableIsEmpty("TAMO_CRASH_TEST_FOLDER"))
        qputenv("TAMO_CRASH_TEST_FOLDER", QFile::encodeName(ownFolder.path()));
    const QString folder = qEnvironmentVariable("TAMO_CRASH_TEST_FOLDER");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            CrashHandler::install(folder);
            crash();
        },
        ::testing::KilledBySignal(signal), "");
    qunsetenv("TAMO_CRASH_TEST_FOLDER");
    const QStringList reports = QDir(folder).entryList({QStringLiteral("TamoCove-*.crash")});
    EXPECT_EQ(SupportReport::qualifyingCrashReports(folder, QDateTime::currentDateTime()).size(), reports.size());
    return reports.size() == 1 ? readFile(folder + u'/' + reports[0]) : QByteArray();
}

} // namespace

TEST(CrashHandlerTest, AFatalSignalLeavesAReportBehind)
{
    const QByteArray text = reportAfter([] { std::raise(SIGSEGV); }, SIGSEGV);
    EXPECT_TRUE(text.contains("Signal: 11 (SIGSEGV)")) << text.toStdString();
    EXPECT_TRUE(text.contains("Call stack:"));
}

TEST(CrashHandlerTest, AThreadThatOverflowsItsStackLeavesAReportBehind)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reports stack overflows itself";
#endif
    const QByteArray text = reportAfter(
        [] {
            std::thread([] {
                CrashHandler::coverThisThread();
                overflowStack(0);
            }).join();
        },
        SIGSEGV);
    EXPECT_TRUE(text.contains("Signal: 11 (SIGSEGV)")) << text.toStdString();
}

// ------------------------------------------------------------- summary texts

class SupportSummaryTest : public AppModelFixture
{
protected:
    SupportSummaryTest()
    {
        registerDefaultSettings(defaults);
        QLocale::setDefault(QLocale::c());
    }
    QString line(const QStringList &lines, const QString &start)
    {
        for (const QString &l : lines) {
            if (l.startsWith(start))
                return l;
        }
        return {};
    }
};

TEST_F(SupportSummaryTest, LayoutLinesWorkOutTheSizesInEffect)
{
    const struct {
        double cardScale;
        double textScale;
        const char *cardLine;
        const char *fontLine;
        const char *labelLine;
    } cases[] = {
        {1.0, 1.0, "Card size: 1.00, cards 304 px in the TamoCove panel, 219 px in the tray",
         "Font size: 1.00, text clips 13 px in the TamoCove panel, 9.5 px in the tray",
         "Card labels: 13 px in the TamoCove panel, 9.5 px in the tray"},
        {2.0, 3.0, "Card size: 1.50, cards 456 px in the TamoCove panel, 328 px in the tray",
         "Font size: 3.00, text clips 34 px in the TamoCove panel, 24.5 px in the tray",
         "Card labels: 19.5 px in the TamoCove panel, 14 px in the tray"},
    };
    for (const auto &c : cases) {
        defaults.setValue(keys::cardScale, c.cardScale);
        defaults.setValue(keys::cardTextScale, c.textScale);
        const QStringList lines = SupportSummary::layoutSection(defaults, {}, {});
        EXPECT_EQ(line(lines, QStringLiteral("Card size")), QString::fromUtf8(c.cardLine));
        EXPECT_EQ(line(lines, QStringLiteral("Font size")), QString::fromUtf8(c.fontLine));
        EXPECT_EQ(line(lines, QStringLiteral("Card labels")), QString::fromUtf8(c.labelLine));
    }
}

TEST_F(SupportSummaryTest, TargetLineSaysWhenTheMenuBarChoiceCannotWork)
{
    defaults.setValue(keys::shortcutTarget, QStringLiteral("menuBar"));
    defaults.setValue(keys::showMenuBarIcon, false);
    defaults.setValue(keys::menuBarVisibleCards, 0);
    const QStringList lines = SupportSummary::layoutSection(defaults, {}, {});
    EXPECT_EQ(lines[1], QStringLiteral("Open TamoCove shortcut opens: TamoCove Panel: Tray Clips is "
                                       "chosen but the tray clips are off"));
    EXPECT_EQ(lines[5], QStringLiteral("Tray clips visible cards: default"));
}

TEST_F(SupportSummaryTest, TheSummaryUsesThisDesktopsWords)
{
    const QStringList foreign = foreignWords(SupportSummary::summary(model(), defaults, QString()).split(u'\n'));
    EXPECT_TRUE(foreign.isEmpty()) << foreign.join(u" | ").toStdString();
}

TEST_F(SupportSummaryTest, ScreenLinesMarkTheActiveAndConnectedScreens)
{
    ScreenCardSizes::Screen screen{QStringLiteral("1-2-3 1920x1080"), QStringLiteral("Desk"), 1920, 1080, 1.25, 1.0};
    EXPECT_EQ(SupportSummary::screenLine(screen, screen.id, {screen.id}),
              QStringLiteral("  Desk, 1920 × 1080: 1.25, 1.00 *+"));
    EXPECT_EQ(SupportSummary::screenLine(screen, QString(), {}), QStringLiteral("  Desk, 1920 × 1080: 1.25, 1.00 "));
}

TEST_F(SupportSummaryTest, SettingsListOnlyWhatWasWrittenInKeyOrder)
{
    defaults.setValue(keys::whatsNewShown, QStringLiteral("1.74"));
    defaults.setValue(keys::cardStyle, QStringLiteral("classic"));
    defaults.setValue(QStringLiteral("blob"), QByteArray(12, 'x'));
    const QString text = SupportSummary::preferencesText(defaults, {});
    const QString saved = text.section(QStringLiteral("Saved settings (unchanged defaults aren't listed):\n"), 1);
    EXPECT_EQ(saved, QStringLiteral("blob = <12 bytes>\ncardStyle = classic\nwhatsNewShown = 1.74\n"));
    EXPECT_TRUE(text.contains(QLatin1String("\nCard style: Classic\n")));
}

TEST_F(SupportSummaryTest, NestedSettingsShowWhatTheyHold)
{
    const QVariantMap sizes{{QStringLiteral("cardScale"), 1.25}, {QStringLiteral("textScale"), 1}};
    const struct
    {
        QVariant value;
        const char *line;
    } cases[] = {
        {QVariantMap{{QStringLiteral("0-0-0 1440x900"), sizes}},
         "key = {0-0-0 1440x900: {cardScale: 1.25, textScale: 1}}"},
        {QVariantList{sizes, QVariantList{1, 2}}, "key = [{cardScale: 1.25, textScale: 1}, [1, 2]]"},
        {QVariantMap{{QStringLiteral("blob"), QByteArray(3, 'x')}}, "key = {blob: <3 bytes>}"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SupportSummary::settingLine(QStringLiteral("key"), c.value), QString::fromUtf8(c.line));
}

// Files under /proc have no size; the processor's name is still read from them.
TEST_F(SupportSummaryTest, TheComputerLineNamesTheProcessor)
{
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    ASSERT_TRUE(cpuinfo.open(QIODevice::ReadOnly));
    QString processor;
    for (const QByteArray &line : cpuinfo.readAll().split('\n')) {
        if (line.startsWith("model name")) {
            processor = QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
            break;
        }
    }
    if (processor.isEmpty())
        GTEST_SKIP() << "this processor has no model name in /proc/cpuinfo";
    EXPECT_TRUE(SupportSummary::computerLine().endsWith(QStringLiteral(", ") + processor))
        << SupportSummary::computerLine().toStdString();
}

TEST_F(SupportSummaryTest, SyncLinesSpeakOfTheSyncFolder)
{
    defaults.setValue(keys::syncFolder, QStringLiteral("/media/share/TamoCove"));
    AppModel &started = startedModel();
    const struct
    {
        SyncStatus status;
        const char *statusLine;
    } cases[] = {
        {SyncStatus::of(SyncStatus::Kind::off), "Sync status: off"},
        {SyncStatus::of(SyncStatus::Kind::noAccount),
         "Sync status: no sync folder (create the folder /media/share to sync)"},
    };
    for (const auto &c : cases) {
        ext.syncStatus = c.status;
        const QString summary = SupportSummary::summary(started, defaults, QStringLiteral("/nonexistent/sync.log"));
        EXPECT_FALSE(summary.contains(QLatin1String("iCloud"))) << summary.toStdString();
        for (const char *line : {"Sync History and Pinboards: off", "Sync folder: /media/share/TamoCove", c.statusLine,
                                 "First read of the sync folder done: false"})
            EXPECT_TRUE(summary.contains(u'\n' + QString::fromUtf8(line) + u'\n')) << line;
    }
}

TEST_F(SupportSummaryTest, SyncResetsComeFromTheLogAndAFailedReadCountsNone)
{
    TempDir dir;
    writeFile(dir.file(QStringLiteral("sync.log")),
              "2026-03-10T08:00:00+0000 a: resetting internal state after error\nother\n\n"
              "2026-03-11T09:15:30+0000 b: resetting internal state after error\n");
    EXPECT_EQ(SupportSummary::syncResets(dir.file(QStringLiteral("sync.log"))),
              (QStringList{"2026-03-10T08:00:00", "2026-03-11T09:15:30"}));
    writeFile(dir.file(QStringLiteral("failed.log")), "Could not read the log: journalctl stopped with code 1.\n");
    EXPECT_TRUE(SupportSummary::syncResets(dir.file(QStringLiteral("failed.log"))).isEmpty());
    EXPECT_TRUE(SupportSummary::syncResets(dir.file(QStringLiteral("missing.log"))).isEmpty());
}

TEST_F(SupportSummaryTest, BonusSectionWithEverythingOff)
{
    startedModel();
    EXPECT_EQ(SupportSummary::bonusFeaturesSection(model(), defaults),
              (QStringList{
                  "Bonus features:",
                  "Window switcher: off, shortcut Super+1, Show Tabs off",
                  "Window Size: off, shortcut Super+Ctrl+Z, 0 screen(s) with a size, 0 captured",
                  "Three-finger middle click: off, touchpad Tap to Click off",
                  "Keyboard layout by app (no permission needed): off, not watching",
                  "  Current keyboard layout: unknown",
                  "  Enabled keyboard layouts: none found",
                  "  Desktop keeps a layout per window: off",
                  "  Rules: none",
                  "  Recent switches (this launch, newest last): none",
              }));
}

TEST_F(SupportSummaryTest, BonusSectionTellsWhatEachToolIsDoing)
{
    startedModel();
    for (const auto key : {keys::windowSwitcherEnabled, keys::windowSizeEnabled, keys::threeFingerMiddleClick,
                           keys::inputSourceByApp})
        defaults.setValue(key, true);
    model().hotKeyRegistry().registerWindowSizerFromDefaults();
    ext.windowSizes = {2, 1};
    ext.tapping = true;
    ext.watchingApps = true;
    ext.layoutPerWindow = true;
    ext.layouts = {{QStringLiteral("us"), QStringLiteral("English (US)")}, {QStringLiteral("de"), QString()}};
    ext.currentLayout = QStringLiteral("us");
    workspace.install({QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor")});
    defaults.setValue(keys::inputSourceRules, QVariantMap{{QStringLiteral("org.gnome.TextEditor"), QStringLiteral("de")},
                                                          {QStringLiteral("com.example.Gone"), QStringLiteral("fr")},
                                                          {QStringLiteral("com.example.Bad"), 5}});
    const QDateTime at(QDate(2026, 3, 10), QTime(8, 0), QTimeZone::utc());
    using Outcome = InputSourceSwitch::Outcome;
    ext.switches = {{at, QStringLiteral("org.gnome.TextEditor"), QStringLiteral("us"), QStringLiteral("de"), Outcome::switched, 0},
                    {at.addSecs(5), QStringLiteral("org.gnome.TextEditor"), QStringLiteral("us"), QStringLiteral("de"),
                     Outcome::reapplied, 0},
                    {at.addSecs(9), QStringLiteral("com.example.Gone"), QStringLiteral("?"), QStringLiteral("fr"),
                     Outcome::failed, 3}};
    EXPECT_EQ(SupportSummary::bonusFeaturesSection(model(), defaults).mid(1),
              (QStringList{
                  "Window switcher: on, shortcut NOT registered (taken by another app?), shortcut Super+1, Show Tabs off",
                  "Window Size: on, shortcut registered, shortcut Super+Ctrl+Z, 2 screen(s) with a size, 1 captured",
                  "Three-finger middle click: on, waiting for Accessibility, touchpad Tap to Click on",
                  "Keyboard layout by app (no permission needed): on, watching app switches",
                  "  Current keyboard layout: English (US) (us)",
                  "  Enabled keyboard layouts: English (US) (us), de (de)",
                  "  Desktop keeps a layout per window: on",
                  "  Rules: 2",
                  "    com.example.Gone (com.example.Gone) → fr (fr) [app not installed, source not enabled]",
                  "    Text Editor (org.gnome.TextEditor) → de (de)",
                  "  Recent switches (this launch, newest last): 3",
                  "    2026-03-10T08:00:00Z org.gnome.TextEditor: us → de, switched",
                  "    2026-03-10T08:00:05Z org.gnome.TextEditor: us → de, re-applied after the desktop restored a "
                  "window's layout",
                  "    2026-03-10T08:00:09Z com.example.Gone: ? → fr, failed (3)",
              }));

    accessibility.trusted = false;
    model().refreshPermissions();
    EXPECT_EQ(SupportSummary::bonusFeaturesSection(model(), defaults)[1],
              QStringLiteral("Window switcher: on, waiting for Accessibility, shortcut Super+1, Show Tabs off"));
}

TEST_F(SupportSummaryTest, ByteSizesReadAsAFileManagerCounts)
{
    const std::pair<qint64, const char *> cases[] = {
        {0, "Zero KB"}, {1, "1 byte"}, {532, "532 bytes"}, {12345, "12 KB"}, {3456789, "3.5 MB"},
        {1250000000, "1.25 GB"}};
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(SupportSummary::byteSize(bytes), QString::fromUtf8(text));
}

} // namespace
} // namespace tamo::testing
