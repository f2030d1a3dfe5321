#include "StripFixture.h"

#include "cards/PreviewPanelView.h"
#include "drawer/DrawerAssembly.h"
#include "drawer/PanelView.h"
#include "model/ClipLibrary.h"
#include "model/Pinboards.h"
#include "platform/Pasteboard.h"
#include "support/ShownText.h"
#include "support/UnnamedControls.h"

#include <QPointer>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

class PanelViewTest : public StripFixture
{
protected:
    std::unique_ptr<PanelView> makeView()
    {
        auto view = std::make_unique<PanelView>(model(), cards(), fastTime);
        view->resize(1424, 404);
        view->show();
        view->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view.get()));
        return view;
    }

    // A pinboard "Work" holding the given clips, the last one pinned most recently.
    PinboardPtr workPinboard(const QList<ClipItemPtr> &pinned)
    {
        PinboardPtr work = model().newPinboard();
        work->setName(QStringLiteral("Work"));
        model().commitPinboardRename(*work);
        for (const ClipItemPtr &clip : pinned) {
            clock.advance(1000);
            model().pin({clip}, *work);
        }
        return work;
    }
};

TEST_F(PanelViewTest, EachPinboardGetsAFreshRowOfItsOwnClips)
{
    const QList<ClipItemPtr> clips = addClips(3);
    const PinboardPtr work = workPinboard({clips[2], clips[0]});
    const auto view = makeView();
    QPointer<ClipStrip> history = view->strip();
    EXPECT_EQ(view->title(), QStringLiteral("Clipboard History"));
    EXPECT_EQ(texts(history->visibleClips()), QStringList({"clip 3", "clip 2", "clip 1"})); // pinned ones too

    model().setSelectedPinboardID(work->id());
    ASSERT_NE(view->strip(), history.data());
    EXPECT_EQ(view->strip()->pinboardID(), work->id());
    EXPECT_EQ(texts(view->strip()->visibleClips()), QStringList({"clip 1", "clip 3"})); // latest pin first
    EXPECT_EQ(model().visibleItemIDs(), clipIDs(view->strip()->visibleClips()));
    EXPECT_EQ(view->title(), QStringLiteral("Work"));

    // The row it replaced answers for nothing any more, and goes.
    addClips(1, QStringLiteral("new"));
    EXPECT_EQ(model().visibleItemIDs(), clipIDs(view->strip()->visibleClips()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return history.isNull(); }));

    QPointer<ClipStrip> pinboardRow = view->strip();
    model().setSelectedPinboardID({});
    EXPECT_NE(view->strip(), pinboardRow.data());
    EXPECT_TRUE(view->strip()->pinboardID().isNull());
    EXPECT_EQ(view->strip()->visibleClips().front()->text(), QStringLiteral("new 1"));
    EXPECT_EQ(view->title(), QStringLiteral("Clipboard History"));
}

TEST_F(PanelViewTest, TabInTheRowOpensTheNextPinboardWithTheKeyboardOnItsRow)
{
    const QList<ClipItemPtr> clips = addClips(2);
    const PinboardPtr work = workPinboard({clips[0]});
    const auto view = makeView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->strip()->hasFocus(); }));

    QTest::keyClick(view->strip(), Qt::Key_Tab); // replaces the row it is typed into
    EXPECT_EQ(model().selectedPinboardID(), work->id());
    EXPECT_EQ(view->strip()->pinboardID(), work->id());
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->strip()->hasFocus(); }));
    EXPECT_EQ(model().selectedItemID(), clips[0]->id()); // its first clip, once the row is up

    QTest::keyClick(view->strip(), Qt::Key_Backtab);
    EXPECT_TRUE(view->strip()->pinboardID().isNull());
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->strip()->hasFocus(); }));
    EXPECT_EQ(model().selectedItemID(), clips[1]->id());
}

using DrawerAssemblyTest = DrawerFixture;

TEST_F(DrawerAssemblyTest, TheDrawerOpensOnItsRowAndPastesTheFirstClip)
{
    defaults.setValue(keys::directPaste, false);
    for (const char *text : {"older", "newest"}) {
        clock.advance(1000);
        drawerModel->clips().ingest(ClipDraft::fromText(QString::fromUtf8(text)));
    }
    DrawerAssembly assembly(*panel, *drawerModel, defaults, clock);
    EXPECT_EQ(panel->stripPanel().content(), &assembly.view());
    EXPECT_EQ(panel->previewPanel().content(), &assembly.preview());

    showDrawer();
    ClipStrip *strip = assembly.view().strip();
    EXPECT_TRUE(strip->hasFocus());
    EXPECT_EQ(drawerModel->selectedItemID(), strip->visibleClips().front()->id());

    QTest::keyClick(strip, Qt::Key_Return);
    ASSERT_EQ(pasteboard.writes().size(), 1);
    EXPECT_EQ(pasteboard.writes().first().first().value(PasteboardType::string), "newest");
    EXPECT_FALSE(panel->isVisible());
}

} // namespace

// Screen readers and AT-SPI clients find each control by its name, in every
// state the drawer shows.
TEST_F(PanelViewTest, EveryControlHasANameInEachState)
{
    ext.syncStatus = SyncStatus::of(SyncStatus::Kind::noAccount); // its icon-only indicator shows
    const QList<ClipItemPtr> clips = addClips(3);
    const PinboardPtr work = workPinboard({clips[0]});
    const auto view = makeView();
    const std::pair<const char *, std::function<void()>> states[] = {
        {"history", [] {}},
        {"a pinboard", [&] { model().setSelectedPinboardID(work->id()); }},
        {"a search with a filter",
         [&] {
             model().setSelectedPinboardID({});
             model().setSearchText(QStringLiteral("clip"));
             model().toggleSearchFilter(SearchFilter::kind(ClipKind::text));
         }},
    };
    for (const auto &[name, enter] : states) {
        enter();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(unnamedControls(view.get()), QStringList()) << name;
    }
    EXPECT_EQ(shownText(view->strip()), QStringLiteral("Clipboard History"));
}
