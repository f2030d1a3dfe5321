// The first seconds after launch over a long history: the store's full check
// and the duplicate scan read it in the background while other apps copy.
#include "app/x11/X11AppFixture.h"

#include "app/StoreOpening.h"
#include "drawer/DrawerAssembly.h"
#include "drawer/PanelController.h"
#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/DefaultSettings.h"
#include "support/FakeRelauncher.h"

using namespace tamo;
using namespace tamo::testing;

namespace {

constexpr int historySize = 100'000;
constexpr int repeatEvery = 10'000; // content a crash left unmerged, for the duplicate scan to find

class X11LaunchCaptureTest : public X11AppFixture
{
protected:
    void fillHistory()
    {
        ModelContainer container(storeDir.path());
        ModelContext &context = container.mainContext();
        const QDateTime start = QDateTime::currentDateTime().addSecs(-historySize);
        for (int i = 0; i < historySize; ++i) {
            const int content = i % repeatEvery == repeatEvery - 1 ? 0 : i;
            context.insert(std::make_shared<ClipItem>(
                ClipDraft::fromText(QStringLiteral("old clip %1").arg(content)), start.addSecs(i)));
        }
        ASSERT_TRUE(context.save()) << context.lastError().toStdString();
    }

    QStringList newestTexts(int count)
    {
        QStringList texts;
        for (const ClipItemPtr &clip : model->container().mainContext().fetch<ClipItem>(
                 FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false).limited(count)))
            texts.prepend(clip->text().value_or(QString()));
        return texts;
    }

    FakeRelauncher relauncher;
    std::unique_ptr<PanelController> panel;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<DrawerAssembly> drawer; // goes first: its views work on the model
};

// Five xclip copies 150 ms apart, the first made as soon as capture is ready,
// each ending the one before: all kept, in order, while the background reads
// run and the merge they lead to saves on the main thread.
TEST_F(X11LaunchCaptureTest, CopiesInTheFirstSecondsOverALongHistoryAreAllKept)
{
    fillHistory();
    if (HasFatalFailure())
        return;
    registerDefaultSettings(defaults);
    panel = std::make_unique<PanelController>(defaults, platform.screens());
    model = makeModel(*panel);
    drawer = std::make_unique<DrawerAssembly>(*panel, *model, defaults, clock);
    start(*model);
    StoreVerifier verifier(storeDir.path(), alerts, relauncher);
    verifier.start();
    ChildProcess burst(QStringLiteral("sh"),
                       {QStringLiteral("-c"), QStringLiteral("for i in 1 2 3 4 5; do printf 'first seconds %s' $i"
                                                             " | xclip -quiet -selection clipboard & sleep 0.15; done;"
                                                             " wait")});

    const QStringList burstTexts{QStringLiteral("first seconds 1"), QStringLiteral("first seconds 2"),
                                 QStringLiteral("first seconds 3"), QStringLiteral("first seconds 4"),
                                 QStringLiteral("first seconds 5")};
    const int merged = historySize / repeatEvery;
    const auto settled = [&] { return newestTexts(5) == burstTexts && clipCount(*model) == historySize - merged + 5; };
    EXPECT_TRUE(QTest::qWaitFor(settled, 10000))
        << "newest: " << newestTexts(5).join(QStringLiteral(", ")).toStdString() << "; " << clipCount(*model)
        << " clips";
    EXPECT_TRUE(alerts.shown().isEmpty()); // the full check found the store sound
}

} // namespace
