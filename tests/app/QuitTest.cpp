#include "AppModelFixture.h"

#include "app/QuitSignals.h"
#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "support/FullDisk.h"
#include "support/WarningLog.h"

#include <QTimer>

#include <csignal>

using namespace tamo;
using namespace tamo::testing;

namespace {

// Raises the signal from the event loop and runs it until it quits; false
// when it was still running a few seconds later.
bool quitsOn(int signal)
{
    QuitSignals quitSignals;
    QTimer::singleShot(0, [signal] { std::raise(signal); });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(5000);
    return QCoreApplication::exec() == 0;
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
