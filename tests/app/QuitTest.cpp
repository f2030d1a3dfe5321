#include "AppModelFixture.h"

#include "app/QuitSignals.h"
#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "platform/QuitShortcut.h"
#include "support/FullDisk.h"
#include "support/WarningLog.h"

#include <QTimer>
#include <QWidget>

#include <csignal>
#include <functional>

using namespace tamo;
using namespace tamo::testing;

namespace {

// Runs `trigger` from the event loop and the loop until it quits; false when
// it was still running a few seconds later.
bool quitsThrough(const std::function<void()> &trigger)
{
    QTimer::singleShot(0, trigger);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(5000);
    return QCoreApplication::exec() == 0;
}

bool quitsOn(int signal)
{
    QuitSignals quitSignals;
    return quitsThrough([signal] { std::raise(signal); });
}


} // namespace

TEST(QuitSignals, TermIntAndHupQuitThroughTheEventLoopAndLeaveTheOldHandlersAfter)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        EXPECT_TRUE(quitsOn(signal)) << signal;
        struct sigaction after = {};
        ::sigaction(signal, nullptr, &after);
        EXPECT_EQ(after.sa_handler, SIG_DFL) << signal;
    }
}

class Quit : public AppModelFixture
{
};

// A kill with the disk full once lost 28 of 30 copies without a word.
TEST_F(Quit, CopiesWaitingForRoomGetALastSaveAndWhatItCannotKeepIsCounted)
{
    for (const bool roomMade : {true, false}) {
        SCOPED_TRACE(roomMade ? "room made before the quit" : "disk still full");
        TempDir store;
        { ModelContainer created(store.path()); }
        FullDisk disk;
        AppModel model(services(), store.path(), ext.extensions());
        alerts.answer(0); // the disk-full alert
        for (const QString &text : {QStringLiteral("one "), QStringLiteral("two "), QStringLiteral("three ")})
            model.ingest(ClipDraft::fromText(text.repeated(5000)));
        if (roomMade)
            disk.lift();
        WarningLog warnings;
        ASSERT_TRUE(quitsOn(SIGTERM));
        if (roomMade) {
            EXPECT_EQ(model.container().mainContext().fetchCount<ClipItem>(), 3);
            EXPECT_TRUE(warnings.messages().isEmpty()) << warnings.text();
        } else {
            ASSERT_EQ(warnings.messages().size(), 1) << warnings.text();
            EXPECT_TRUE(warnings.messages().first().startsWith(
                QStringLiteral("TamoCove: quitting without 3 copied clips that could not be saved: ")));
        }
    }
}

// Seven copies waiting for room were dropped by Quit with one line on stderr.
TEST_F(Quit, QuitFromTheMenuNamesTheCopiesWaitingForRoomAndKeepsThemIfRoomIsMade)
{
    enum { quit = 0, keepRunning = 1 };
    const struct
    {
        const char *name;
        int answer;
        bool roomMade; // while the alert is open
        int saved;
    } cases[] = {
        {"room made before quitting", quit, true, 7},
        {"quit with the disk still full", quit, false, 0},
        {"kept running", keepRunning, false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir store;
        { ModelContainer created(store.path()); }
        FullDisk disk;
        AppModel model(services(), store.path(), ext.extensions());
        alerts.answer(0); // the disk-full alert
        for (int i = 0; i < 7; ++i)
            model.ingest(ClipDraft::fromText(QStringLiteral("copy %1 ").arg(i).repeated(3000)));
        QCoreApplication::processEvents();
        const qsizetype shownBefore = alerts.shown().size();
        alerts.answer(c.answer);
        alerts.whileShown = [&] {
            if (c.roomMade)
                disk.lift();
        };
        WarningLog warnings;
        if (c.answer == quit) {
            ASSERT_TRUE(quitsThrough([&model] { model.quit(); }));
        } else {
            model.quit();
        }
        alerts.whileShown = nullptr;
        ASSERT_EQ(alerts.shown().size(), shownBefore + 1);
        EXPECT_EQ(alerts.shown().last(), AppModel::unsavedCopiesAlert(7, QString()));
        ModelContext &context = model.container().mainContext();
        EXPECT_EQ(context.fetchCount<ClipItem>(), c.saved);
        if (c.answer == keepRunning) {
            EXPECT_EQ(context.pendingInserts<ClipItem>().size(), 7) << "still waiting for room";
        }
        if (c.answer == quit && !c.roomMade) {
            EXPECT_EQ(warnings.messages().size(), 1) << warnings.text();
        }
    }
}

// Ctrl+Q in one of our windows is the menu's Quit: copies waiting for room
// are named before anything quits.
TEST_F(Quit, TheQuitKeysInAWindowAskAsTheMenuDoes)
{
    TempDir store;
    { ModelContainer created(store.path()); }
    FullDisk disk;
    AppModel model(services(), store.path(), ext.extensions());
    alerts.answer(0); // the disk-full alert
    model.ingest(ClipDraft::fromText(QStringLiteral("waiting for room ").repeated(3000)));
    QCoreApplication::processEvents();
    const qsizetype shownBefore = alerts.shown().size();
    alerts.answer(1); // Keep Running

    QWidget window;
    addQuitShortcut(window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return alerts.shown().size() == shownBefore + 1; }));
    EXPECT_EQ(alerts.shown().last(), AppModel::unsavedCopiesAlert(1, QString()));
}
