#include "bonus/InputSourceSwitcher.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "support/FakeClock.h"
#include "support/FakeKeyboardLayouts.h"
#include "support/FakeWorkspace.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

using Outcome = InputSourceSwitcher::Switch::Outcome;

const AppInfo editor{QStringLiteral("org.example.Editor"), QStringLiteral("Editor")};
const AppInfo terminal{QStringLiteral("org.example.Terminal"), QStringLiteral("Terminal")};
// Never this process's own id, whose windows the switcher leaves alone.
const qint64 editorPid = QCoreApplication::applicationPid() + 1;
const qint64 terminalPid = QCoreApplication::applicationPid() + 2;
// Longer than the re-check and desktop delays.
constexpr int settleMs = 450;

class InputSourceSwitcherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouts.configured = {{QStringLiteral("us"), QStringLiteral("English (US)")},
                              {QStringLiteral("de"), QStringLiteral("German")}};
        layouts.current = QStringLiteral("us");
        setRules({{editor.bundleID, QStringLiteral("de")}});
    }

    void setRules(const QVariantMap &rules) { defaults.setValue(keys::inputSourceRules, rules); }

    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    FakeClock clock;
    FakeWorkspace workspace;
    FakeKeyboardLayouts layouts;
    InputSourceSwitcher switcher{workspace, layouts, defaults, clock};
};

TEST_F(InputSourceSwitcherTest, EachOutcomeOfAnActivationIsLogged)
{
    struct Case
    {
        const char *name;
        QString current;
        QString target;
        int refusal;
        Outcome outcome;
        QString from;
        QString after;
    };
    const QList<Case> cases = {
        {"switched", QStringLiteral("us"), QStringLiteral("de"), 0, Outcome::switched, QStringLiteral("us"), QStringLiteral("de")},
        {"already current", QStringLiteral("de"), QStringLiteral("de"), 0, Outcome::alreadyCurrent, QStringLiteral("de"), QStringLiteral("de")},
        {"not configured", QStringLiteral("us"), QStringLiteral("fr"), 0, Outcome::unavailable, QStringLiteral("us"), QStringLiteral("us")},
        {"refused", QStringLiteral("us"), QStringLiteral("de"), 5, Outcome::failed, QStringLiteral("us"), QStringLiteral("us")},
        {"no current layout", QString(), QStringLiteral("de"), 0, Outcome::switched, QStringLiteral("?"), QStringLiteral("de")},
    };
    for (const Case &c : cases) {
        InputSourceSwitcher fresh(workspace, layouts, defaults, clock);
        workspace.activate(terminal, terminalPid);
        layouts.current = c.current;
        layouts.refusal = c.refusal;
        setRules({{editor.bundleID, c.target}});
        fresh.start();
        workspace.activate(editor, editorPid);
        QCoreApplication::processEvents();
        ASSERT_EQ(fresh.recentSwitches().size(), 1) << c.name;
        const auto entry = fresh.recentSwitches().first();
        EXPECT_EQ(entry.outcome, c.outcome) << c.name;
        EXPECT_EQ(entry.from, c.from) << c.name;
        EXPECT_EQ(entry.to, c.target) << c.name;
        EXPECT_EQ(entry.bundleID, editor.bundleID) << c.name;
        EXPECT_EQ(entry.status, c.refusal) << c.name;
        EXPECT_EQ(entry.date, clock.now()) << c.name;
        EXPECT_EQ(layouts.current, c.after) << c.name;
        fresh.stop();
    }
}

TEST_F(InputSourceSwitcherTest, AppsWithoutARuleAndThisAppItselfLeaveTheLayoutAlone)
{
    setRules({{editor.bundleID, QStringLiteral("de")}, {terminal.bundleID, QStringLiteral("de")}});
    switcher.start();
    workspace.activate(editor, QCoreApplication::applicationPid());
    workspace.activate(AppInfo{QStringLiteral("org.example.NoRule"), QStringLiteral("No rule")}, 77);
    QTest::qWait(settleMs);
    EXPECT_EQ(layouts.current, QStringLiteral("us"));
    EXPECT_TRUE(switcher.recentSwitches().isEmpty());
}

TEST_F(InputSourceSwitcherTest, TheRecheckSelectsAgainOnlyWhileTheAppAndItsRuleStay)
{
    struct Case
    {
        const char *name;
        std::function<void(InputSourceSwitcher &)> meanwhile;
        QList<Outcome> outcomes;
        QString startLayout = QStringLiteral("us");
    };
    const QList<Case> cases = {
        {"the app set its own layout", [&](InputSourceSwitcher &) { layouts.current = QStringLiteral("us"); },
         {Outcome::switched, Outcome::reapplied}},
        {"nothing changed", [](InputSourceSwitcher &) {}, {Outcome::switched}},
        {"another app came to the front",
         [&](InputSourceSwitcher &) { workspace.activate(terminal, terminalPid); layouts.current = QStringLiteral("us"); },
         {Outcome::switched}},
        {"the rule changed", [&](InputSourceSwitcher &) { setRules({{editor.bundleID, QStringLiteral("us")}}); layouts.current = QStringLiteral("us"); },
         {Outcome::switched}},
        {"the switcher stopped", [&](InputSourceSwitcher &running) { running.stop(); layouts.current = QStringLiteral("us"); }, {Outcome::switched}},
        {"the layout matched, then the app reset it", [&](InputSourceSwitcher &) { layouts.current = QStringLiteral("us"); },
         {Outcome::alreadyCurrent, Outcome::reapplied}, QStringLiteral("de")},
    };
    for (const Case &c : cases) {
        setRules({{editor.bundleID, QStringLiteral("de")}});
        workspace.activate(terminal, terminalPid);
        layouts.current = c.startLayout;
        InputSourceSwitcher fresh(workspace, layouts, defaults, clock);
        fresh.start();
        workspace.activate(editor, editorPid);
        QCoreApplication::processEvents();
        c.meanwhile(fresh);
        QTest::qWait(settleMs);
        QList<Outcome> seen;
        for (const auto &entry : fresh.recentSwitches())
            seen.append(entry.outcome);
        EXPECT_EQ(seen, c.outcomes) << c.name;
    }
}

TEST_F(InputSourceSwitcherTest, ARuleAppliesToEveryEntryOfTheAppsProgram)
{
    const AppInfo editorSettings{QStringLiteral("org.example.Editor-settings"), QStringLiteral("Editor Settings")};
    workspace.setSameApp({editor.bundleID, editorSettings.bundleID});
    setRules({{editorSettings.bundleID, QStringLiteral("de")}});
    switcher.start();
    workspace.activate(editor, editorPid);
    EXPECT_EQ(layouts.current, QStringLiteral("de"));
}

TEST_F(InputSourceSwitcherTest, TheLogKeepsTheTenNewestAcrossStopAndStart)
{
    layouts.current = QStringLiteral("de");
    switcher.start();
    for (int i = 0; i < 12; ++i) {
        clock.advance(1000);
        workspace.activate(terminal, terminalPid);
        if (i == 6) {
            switcher.stop();
            switcher.start();
        }
        workspace.activate(editor, editorPid);
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(switcher.recentSwitches().size(), InputSourceSwitcher::logLength);
    EXPECT_EQ(switcher.recentSwitches().last().date, clock.now());
    EXPECT_EQ(switcher.recentSwitches().first().date, clock.now().addSecs(-9));
}

TEST_F(InputSourceSwitcherTest, ADesktopChangeAppliesTheFrontAppsRuleAfterItSettles)
{
    workspace.activate(editor, editorPid);
    layouts.current = QStringLiteral("de");
    switcher.start();
    QTest::qWait(settleMs);
    layouts.current = QStringLiteral("us");
    const auto before = switcher.recentSwitches().size();
    workspace.switchDesktop();
    QTest::qWait(100);
    EXPECT_EQ(switcher.recentSwitches().size(), before) << "not before the desktop settles";
    QTest::qWait(settleMs);
    ASSERT_GT(switcher.recentSwitches().size(), before);
    EXPECT_EQ(switcher.recentSwitches().at(before).outcome, Outcome::switched);
    EXPECT_EQ(layouts.current, QStringLiteral("de"));
}

TEST_F(InputSourceSwitcherTest, ABadRuleCostsNoOtherRule)
{
    setRules({{editor.bundleID, QStringLiteral("de")}, {terminal.bundleID, 42}});
    const auto rules = InputSourceSwitcher::rules(defaults);
    EXPECT_EQ(rules.size(), 1);
    EXPECT_EQ(rules.value(editor.bundleID), QStringLiteral("de"));
}

} // namespace
