#include "StripFixture.h"

#include "drawer/CardGhost.h"
#include "drawer/EmptyStripView.h"
#include "drawer/StripClips.h"
#include "model/ClipLibrary.h"
#include "model/Pinboards.h"
#include "platform/Pasteboard.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

constexpr auto command = Qt::ControlModifier;
constexpr auto shift = Qt::ShiftModifier;

class ClipStripTest : public StripFixture
{
protected:
    // Clips copied in the given order; the row shows the last one first.
    QList<ClipItemPtr> addTexts(const QStringList &texts)
    {
        QList<ClipItemPtr> clips;
        for (const QString &text : texts) {
            clock.advance(1000);
            clips.append(model().clips().ingest(ClipDraft::fromText(text))->clip);
        }
        return clips;
    }

    static ClipCard &card(const ClipStrip &strip, const ClipItemPtr &clip)
    {
        ClipCard *card = strip.cardFor(clip->id());
        EXPECT_NE(card, nullptr) << "no card for " << clip->text().value_or(QString()).toStdString();
        return *card;
    }

    // A left-button action on the clip's card, at its centre moved by `offset`.
    static void mouse(QTest::MouseAction action, const ClipStrip &strip, const ClipItemPtr &clip,
                      Qt::KeyboardModifiers modifiers = {}, QPoint offset = {})
    {
        ClipCard &target = card(strip, clip);
        const Qt::MouseButton button = action == QTest::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QTest::mouseEvent(action, &target, button, modifiers, target.rect().center() + offset);
    }
    static void click(const ClipStrip &strip, const ClipItemPtr &clip, Qt::KeyboardModifiers modifiers = {})
    {
        mouse(QTest::MouseClick, strip, clip, modifiers);
    }

    QSet<QUuid> ids(const QList<ClipItemPtr> &clips) const
    {
        QSet<QUuid> set;
        for (const ClipItemPtr &clip : clips)
            set.insert(clip->id());
        return set;
    }

    // Holds still until the hold has had far longer than its second.
    static void holdLongerThanTheDelay() { QTest::qWait(HoldToPreview::holdMs * fastTime.factor * 3); }
};

TEST_F(ClipStripTest, HistoryShowsTheNewest2000ClipsWithCardsOnlyForThoseInView)
{
    const QList<ClipItemPtr> clips = addClips(2005);
    const auto strip = makeStrip();
    // The first frame reads only what it can show; the rest follows it.
    ASSERT_EQ(strip->visibleClips().size(), firstFrameClips);
    EXPECT_EQ(strip->visibleClips().front(), clips.last());
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->visibleClips().size() == 2000; }));

    EXPECT_EQ(strip->visibleClips().front(), clips.last());
    EXPECT_EQ(strip->visibleClips().back(), clips[5]);
    EXPECT_EQ(model().visibleItemIDs().size(), 2000);
    EXPECT_EQ(card(*strip, clips.last()).geometry(), QRect(17 + 11, (350 - 304) / 2, 304, 304));

    // Parts of six cards at most show; two more wait on each side of the view.
    const int mostCards = 6 + 2 * ClipStrip::offscreenCards;
    EXPECT_LE(strip->findChildren<ClipCard *>().size(), mostCards);
    QScrollBar *bar = strip->horizontalScrollBar();
    EXPECT_EQ(bar->maximum(), 17 + 2000 * 326 + 17 - 1424);
    for (int value = 0; value < bar->maximum(); value += 700) {
        bar->setValue(value);
        ASSERT_LE(strip->findChildren<ClipCard *>().size(), mostCards) << "at " << value;
    }
    bar->setValue(bar->maximum());
    EXPECT_EQ(card(*strip, clips[5]).geometry().right(), 1424 - 17 - 11 - 1);
    EXPECT_EQ(strip->cardFor(clips.last()->id()), nullptr);
    EXPECT_LE(strip->findChildren<ClipCard *>().size(), mostCards);
}

TEST_F(ClipStripTest, AHiddenRowHoldsNoClipsAndCatchesUpWhenShown)
{
    addClips(3);
    const auto strip = makeStrip();
    strip->hide();
    EXPECT_TRUE(strip->visibleClips().isEmpty());
    for (const ClipCard *card : strip->findChildren<ClipCard *>())
        EXPECT_EQ(card->item(), nullptr);

    const QList<ClipItemPtr> added = addClips(1, QStringLiteral("while hidden"));
    EXPECT_TRUE(strip->visibleClips().isEmpty()) << "a hidden row re-read the history after a save";
    strip->show();
    ASSERT_EQ(strip->visibleClips().size(), 4);
    EXPECT_EQ(strip->visibleClips().front(), added.first());
}

TEST_F(ClipStripTest, SearchTextAndFiltersNarrowTheRowInItsOrder)
{
    addTexts({"apple pie", "banana bread", "https://example.com/tart", "cherry tart"});
    const auto strip = makeStrip();
    const QStringList all{"cherry tart", "https://example.com/tart", "banana bread", "apple pie"};
    const SearchFilter links = SearchFilter::kind(ClipKind::link);
    const SearchFilter texts = SearchFilter::kind(ClipKind::text);

    const struct
    {
        QString text;
        QList<SearchFilter> filters;
        QStringList shown;
    } cases[] = {
        {"", {}, all},
        {" \t ", {}, all}, // blank text shows everything, untested
        {"  BREAD\t", {}, {"banana bread"}},
        {"\napple", {}, {}}, // only spaces and tabs are trimmed
        {"tart", {}, {"cherry tart", "https://example.com/tart"}},
        {"", {links}, {"https://example.com/tart"}},
        {"tart", {texts}, {"cherry tart"}},
        {"link", {}, {"https://example.com/tart"}}, // the kind's name is searched last
    };
    for (const auto &c : cases) {
        model().setSearchText(c.text);
        model().setSearchFilters(c.filters);
        EXPECT_EQ(StripFixture::texts(strip->visibleClips()), c.shown) << c.text.toStdString();
        EXPECT_EQ(model().visibleItemIDs(), clipIDs(strip->visibleClips())) << c.text.toStdString();
    }
}

// A match past the part of a long text held in memory is found by a search of
// the store off the main thread, and takes its place in the row's order.
TEST_F(ClipStripTest, ALongTextMatchingPastItsBeginningJoinsTheRowInItsPlace)
{
    const QString filler(5000, QLatin1Char('x'));
    addTexts({filler + " needle at the end", "needle up front", filler + " nothing here"});
    const auto strip = makeStrip();

    model().setSearchText(QStringLiteral("needle"));
    EXPECT_EQ(texts(strip->visibleClips()), QStringList({"needle up front"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->visibleClips().size() == 2; }));
    EXPECT_EQ(strip->visibleClips().last()->text(), filler + " needle at the end");
    EXPECT_EQ(model().visibleItemIDs(), clipIDs(strip->visibleClips()));

    model().setSearchText(QStringLiteral("needle up"));
    QTest::qWait(100);
    EXPECT_EQ(texts(strip->visibleClips()), QStringList({"needle up front"}));
}

// The store's search for a text that was cleared before it ended shows
// nothing it found: the filter chosen meanwhile decides alone.
TEST_F(ClipStripTest, AWholeTextSearchForAClearedTextDeliversNothing)
{
    const QString filler(5000, QLatin1Char('x'));
    addTexts({filler + " needle", "https://example.com/needle"});
    const auto strip = makeStrip();
    model().setSearchText(QStringLiteral("needle")); // the long text needs the store's search
    model().setSearchText({});
    model().setSearchFilters({SearchFilter::kind(ClipKind::link)});

    // The same search, started after the row's, ends after it.
    ClipSearch reference(model().container().storeDirectory());
    QSignalSpy finished(&reference, &ClipSearch::finished);
    reference.start({QStringLiteral("needle"), {}, {}, historyFetchLimit});
    ASSERT_TRUE(finished.wait(10000));
    QTest::qWait(100);
    EXPECT_EQ(texts(strip->visibleClips()), QStringList({"https://example.com/needle"}));
}

TEST_F(ClipStripTest, NoMatchShowsTheEmptyStateAndLeavesNothingSelected)
{
    addTexts({"apple", "banana"});
    const auto strip = makeStrip();
    model().setSearchText(QStringLiteral("cherry"));

    EXPECT_TRUE(strip->visibleClips().isEmpty());
    EXPECT_TRUE(model().visibleItemIDs().isEmpty());
    EXPECT_TRUE(model().selectedItemID().isNull());
    EXPECT_TRUE(strip->emptyState().isVisible());
    EXPECT_EQ(strip->emptyState().state().message, QStringLiteral("No clips match “cherry”"));
    const auto shows = [](const ClipCard *card) { return card->isVisible(); };
    EXPECT_TRUE(std::ranges::none_of(strip->findChildren<ClipCard *>(), shows));

    model().resetSearch();
    EXPECT_FALSE(strip->emptyState().isVisible());
    EXPECT_EQ(model().selectedItemID(), strip->visibleClips().front()->id());

    // Filters alone that hide every clip do not claim the history is empty.
    model().setSearchFilters({SearchFilter::kind(ClipKind::image)});
    EXPECT_EQ(strip->emptyState().state(), DrawerEmptyState({"magnifyingglass", "No clips match your filters"}));
}

TEST_F(ClipStripTest, CardsShownTogetherCountTheirAgesToOneMoment)
{
    const QList<ClipItemPtr> clips = addTexts({"apple", "banana"});
    const auto strip = makeStrip();
    EXPECT_EQ(card(*strip, clips[1]).appearance().header.age, QStringLiteral("now"));
    clock.advance(61'000);
    model().setSelectedItemID(clips[0]->id()); // redraws one card a minute later
    EXPECT_EQ(card(*strip, clips[0]).appearance().header.age, QStringLiteral("now"));
    model().resetTransientState(); // shown again
    EXPECT_EQ(card(*strip, clips[0]).appearance().header.age, QStringLiteral("1m"));
    EXPECT_EQ(card(*strip, clips[1]).appearance().header.age, QStringLiteral("1m"));
}

TEST_F(ClipStripTest, NewCardsFadeInGrowingAndRemovedOnesFadeOut)
{
    const QList<ClipItemPtr> clips = addTexts({"apple", "banana"});
    const auto strip = makeStrip();
    const ClipCard &fresh = card(*strip, addTexts({"cherry"}).first());
    EXPECT_LT(fresh.presence(), 1);
    EXPECT_EQ(card(*strip, clips[0]).presence(), 1); // cards that stay only slide
    ASSERT_TRUE(QTest::qWaitFor([&] { return fresh.presence() == 1; }));

    model().deleteItems({clips[1]});
    const QList<CardGhost *> ghosts = strip->viewport()->findChildren<CardGhost *>();
    ASSERT_EQ(ghosts.size(), 1);
    const QPointer<CardGhost> ghost = ghosts.first();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ghost.isNull(); }));
}

// Checks at each paint of the row that every card shown lies within one
// cell of its place, and that no card lies over another unless it is still
// fading in.
class StripPaintCheck : public QObject
{
public:
    explicit StripPaintCheck(const ClipStrip &strip)
        : m_strip(strip)
    {
        strip.viewport()->installEventFilter(this);
    }

    int paints = 0;
    QStringList faults;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            check();
        return false;
    }

private:
    void check()
    {
        ++paints;
        const StripLayout &layout = m_strip.stripLayout();
        const int offset = m_strip.horizontalScrollBar()->value();
        QList<QRect> shown;
        for (const ClipCard *card : m_strip.viewport()->findChildren<ClipCard *>(Qt::FindDirectChildrenOnly)) {
            if (!card->isVisible() || !card->item())
                continue;
            const qsizetype index = m_strip.visibleClips().indexOf(card->item());
            const int away = card->x() - (layout.cardRect(index).x() - offset);
            if (index < 0 || std::abs(away) > layout.pitch())
                faults.append(QStringLiteral("paint %1: card %2 is %3 px from its place").arg(paints).arg(index).arg(away));
            if (card->presence() < 1)
                continue;
            for (const QRect &other : std::as_const(shown)) {
                if (other.intersects(card->geometry()))
                    faults.append(QStringLiteral("paint %1: card %2 lies over another").arg(paints).arg(index));
            }
            shown.append(card->geometry());
        }
    }

    const ClipStrip &m_strip;
};

TEST_F(ClipStripTest, ABurstOfCopiesNeverPaintsCardsAwayFromTheirPlaces)
{
    addClips(6);
    ClipStrip strip(model(), cards(), {}, TimeScale{}); // slides take their real time
    strip.resize(1424, 350);
    strip.show();
    const StripPaintCheck check(strip);
    for (int copy = 1; copy <= 20; ++copy) {
        addTexts({QStringLiteral("burst %1").arg(copy)});
        QTest::qWait(5);
        strip.viewport()->grab();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.cardFor(strip.visibleClips().first()->id())->presence() == 1; }));
    strip.viewport()->grab();
    EXPECT_GT(check.paints, 20);
    EXPECT_TRUE(check.faults.isEmpty()) << check.faults.mid(0, 5).join(u'\n').toStdString();
}

TEST_F(ClipStripTest, TheFirstNineCardsCarryQuickPasteNumbers)
{
    addClips(12);
    const auto strip = makeStrip();
    auto checkBuiltCards = [&] {
        for (qsizetype i = 0; i < strip->visibleClips().size(); ++i) {
            if (const ClipCard *card = strip->cardFor(strip->visibleClips()[i]->id())) {
                EXPECT_EQ(card->fields().quickPasteNumber, i < 9 ? std::optional<int>(i + 1) : std::nullopt) << i;
            }
        }
    };
    checkBuiltCards();
    strip->horizontalScrollBar()->setValue(strip->horizontalScrollBar()->maximum());
    ASSERT_NE(strip->cardFor(strip->visibleClips()[11]->id()), nullptr);
    checkBuiltCards();
}

TEST_F(ClipStripTest, CardScaleKeepsToTheDrawersRange)
{
    const QList<ClipItemPtr> clips = addClips(2);
    const auto strip = makeStrip();
    for (const auto &[stored, shown] : {std::pair{0.5, 0.75}, {1.2, 1.2}, {2.0, 1.5}, {1.0, 1.0}}) {
        defaults.setValue(keys::cardScale, stored);
        EXPECT_EQ(strip->cardSize().scale, shown) << stored;
        const ClipCard &front = card(*strip, clips.last());
        EXPECT_EQ(front.fields().size.scale, shown) << stored;
        EXPECT_EQ(card(*strip, clips.first()).x() - front.x(), front.width() + 22) << stored;
    }
}

TEST_F(ClipStripTest, SelectingTheFirstCardScrollsToTheVeryStart)
{
    addClips(20);
    const auto strip = makeStrip();
    const QList<ClipItemPtr> shown = strip->visibleClips();

    model().setSelectedItemID(shown[10]->id());
    EXPECT_TRUE(waitForOffset(*strip, 17 + 11 * 326 - 1424)); // the least scrolling: its right edge shows
    model().setSelectedItemID(shown[9]->id());
    QTest::qWait(100);
    EXPECT_EQ(offset(*strip), 17 + 11 * 326 - 1424); // already in view
    model().setSelectedItemID(shown[1]->id());
    EXPECT_TRUE(waitForOffset(*strip, 17 + 326));
    model().setSelectedItemID(shown[0]->id());
    EXPECT_TRUE(waitForOffset(*strip, 0)); // not 17: the leading padding shows too
}

TEST_F(ClipStripTest, EachPresentationStartsAtTheFrontWithoutScrolling)
{
    addClips(20);
    const auto strip = makeStrip();
    strip->horizontalScrollBar()->setValue(3000);
    model().setSelectedItemID(strip->visibleClips()[15]->id()); // a scroll still under way
    model().resetTransientState();
    EXPECT_EQ(offset(*strip), 0);
    QTest::qWait(100);
    EXPECT_EQ(offset(*strip), 0);
    EXPECT_EQ(model().selectedItemID(), strip->visibleClips().front()->id());
}

TEST_F(ClipStripTest, ClicksSelectByTheModifiersHeldAsTheClickEnds)
{
    addClips(6);
    const auto strip = makeStrip();
    const QList<ClipItemPtr> v = strip->visibleClips();

    click(*strip, v[1]);
    EXPECT_EQ(model().selectedItemID(), v[1]->id());
    EXPECT_TRUE(model().multiSelection().isEmpty());

    click(*strip, v[3], command);
    EXPECT_EQ(model().multiSelection(), ids({v[1], v[3]}));
    EXPECT_EQ(model().selectedItemID(), v[3]->id());

    click(*strip, v[1], command | shift); // ⌘ wins over ⇧: a toggle, not a range
    EXPECT_TRUE(model().multiSelection().isEmpty());
    EXPECT_EQ(model().selectedItemID(), v[3]->id());

    click(*strip, v[0], shift);
    EXPECT_EQ(model().multiSelection(), ids({v[0], v[1], v[2], v[3]}));
    EXPECT_EQ(model().selectedItemID(), v[0]->id());

    mouse(QTest::MousePress, *strip, v[2]);
    mouse(QTest::MouseRelease, *strip, v[2], command); // ⌘ went down while the button was held
    EXPECT_EQ(model().multiSelection(), ids({v[0], v[1], v[3]}));

    click(*strip, v[4]);
    EXPECT_TRUE(model().multiSelection().isEmpty());
    EXPECT_EQ(model().selectedItemID(), v[4]->id());
    EXPECT_EQ(strip->window()->focusWidget(), strip.get());
}

TEST_F(ClipStripTest, DoubleClickPastesTheClipOnce)
{
    const QList<ClipItemPtr> clips = addTexts({"first", "second"});
    const auto strip = makeStrip();
    ClipCard &target = card(*strip, clips.first());
    QTest::mouseClick(&target, Qt::LeftButton, {}, target.rect().center());
    QTest::mouseDClick(&target, Qt::LeftButton, {}, target.rect().center());
    QTest::mouseRelease(&target, Qt::LeftButton, {}, target.rect().center());

    ASSERT_EQ(pasteboard.writes().size(), 1);
    EXPECT_EQ(pasteboard.writes().first().first().value(PasteboardType::string), "first");
    EXPECT_TRUE(ext.log.contains("notice:Clip is ready"));
}

TEST_F(ClipStripTest, APressThatMovesIsNoClick)
{
    const QList<ClipItemPtr> clips = addClips(3);
    const auto strip = makeStrip();
    model().setSelectedItemID(clips[0]->id());
    mouse(QTest::MousePress, *strip, clips[1]);
    mouse(QTest::MouseMove, *strip, clips[1], {}, {20, 0});
    mouse(QTest::MouseRelease, *strip, clips[1]);
    EXPECT_EQ(model().selectedItemID(), clips[0]->id());
}

TEST_F(ClipStripTest, HoldingACardStillPreviewsItAloneUntilRelease)
{
    defaults.setValue(keys::holdToPreview, true);
    const QList<ClipItemPtr> v = addClips(4);
    const auto strip = makeStrip();
    model().setMultiSelection(ids({v[0], v[2]}));

    mouse(QTest::MousePress, *strip, v[1]);
    mouse(QTest::MouseMove, *strip, v[1], {}, {6, 0}); // 6 pt is still holding
    ASSERT_TRUE(QTest::qWaitFor([&] { return model().previewItemID() == v[1]->id(); }));
    EXPECT_EQ(model().selectedItemID(), v[1]->id());
    EXPECT_TRUE(model().multiSelection().isEmpty());
    EXPECT_TRUE(ext.log.contains("preview.show"));

    mouse(QTest::MouseRelease, *strip, v[1]);
    EXPECT_TRUE(model().previewItemID().isNull());
    EXPECT_TRUE(ext.log.contains("preview.close"));
    EXPECT_EQ(model().selectedItemID(), v[1]->id());
}

TEST_F(ClipStripTest, MovingAwayCancelsTheHoldButNotAPreviewAlreadyOpen)
{
    defaults.setValue(keys::holdToPreview, true);
    const QList<ClipItemPtr> v = addClips(4);
    const auto strip = makeStrip();

    mouse(QTest::MousePress, *strip, v[1]);
    mouse(QTest::MouseMove, *strip, v[1], {}, {5, 5}); // 7.07 pt
    holdLongerThanTheDelay();
    EXPECT_TRUE(model().previewItemID().isNull());
    mouse(QTest::MouseRelease, *strip, v[1]);

    mouse(QTest::MousePress, *strip, v[2]);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model().previewItemID() == v[2]->id(); }));
    mouse(QTest::MouseMove, *strip, v[2], {}, {30, 0});
    EXPECT_EQ(model().previewItemID(), v[2]->id()); // stays until the release
    mouse(QTest::MouseRelease, *strip, v[2]);
    EXPECT_TRUE(model().previewItemID().isNull());
}

TEST_F(ClipStripTest, AHoldLeavesAPreviewItDidNotOpenAlone)
{
    defaults.setValue(keys::holdToPreview, true);
    const QList<ClipItemPtr> v = addClips(4);
    const auto strip = makeStrip();

    // Held on the clip already previewed: nothing opens, nothing closes.
    model().openPreview(*v[1]);
    ext.log.clear();
    mouse(QTest::MousePress, *strip, v[1]);
    holdLongerThanTheDelay();
    mouse(QTest::MouseRelease, *strip, v[1]);
    EXPECT_EQ(model().previewItemID(), v[1]->id());
    EXPECT_FALSE(ext.log.contains("preview.close"));
    model().closePreview();

    // Stepped on to another clip while held: the preview stays.
    mouse(QTest::MousePress, *strip, v[2]);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model().previewItemID() == v[2]->id(); }));
    model().setPreviewItemID(v[3]->id());
    mouse(QTest::MouseRelease, *strip, v[2]);
    EXPECT_EQ(model().previewItemID(), v[3]->id());
}

TEST_F(ClipStripTest, WithHoldToPreviewOffAHeldCardIsJustClicked)
{
    const QList<ClipItemPtr> v = addClips(3);
    const auto strip = makeStrip();
    mouse(QTest::MousePress, *strip, v[1]);
    holdLongerThanTheDelay();
    EXPECT_TRUE(model().previewItemID().isNull());
    mouse(QTest::MouseRelease, *strip, v[1]);
    EXPECT_EQ(model().selectedItemID(), v[1]->id());
}

TEST_F(ClipStripTest, RightClickActsOnTheMultiSelectionOnlyFromInsideIt)
{
    addClips(4);
    const auto strip = makeStrip();
    const QList<ClipItemPtr> v = strip->visibleClips();
    model().setMultiSelection(ids({v[2], v[0]}));
    QSignalSpy menus(strip.get(), &ClipStrip::contextMenuRequested);

    for (const ClipItemPtr &clip : {v[1], v[2]}) {
        ClipCard &target = card(*strip, clip);
        QContextMenuEvent event(QContextMenuEvent::Mouse, target.rect().center(),
                                target.mapToGlobal(target.rect().center()));
        QApplication::sendEvent(&target, &event);
    }
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0][0].value<QList<ClipItemPtr>>(), QList<ClipItemPtr>{v[1]});
    EXPECT_EQ(menus[1][0].value<QList<ClipItemPtr>>(), (QList<ClipItemPtr>{v[0], v[2]}));
    EXPECT_EQ(model().multiSelection(), ids({v[0], v[2]})); // the menu selects nothing
}

TEST_F(ClipStripTest, ANewFrontClipMovesOnlyASelectionThatIsGone)
{
    addClips(5);
    const auto strip = makeStrip();
    ModelContext &context = model().container().mainContext();

    const ClipItemPtr kept = strip->visibleClips()[2];
    model().setSelectedItemID(kept->id());
    addClips(1, QStringLiteral("new"));
    EXPECT_EQ(strip->visibleClips().front()->text(), QStringLiteral("new 1"));
    EXPECT_EQ(model().selectedItemID(), kept->id());

    // The selected front clip deleted by another road than the drawer's.
    const ClipItemPtr front = strip->visibleClips().front();
    model().setSelectedItemID(front->id());
    context.remove(front);
    ASSERT_TRUE(context.save());
    EXPECT_EQ(strip->visibleClips().size(), 5);
    EXPECT_EQ(strip->cardFor(front->id()), nullptr);
    EXPECT_EQ(model().selectedItemID(), strip->visibleClips().front()->id());
}

TEST_F(ClipStripTest, AClipDeletedElsewhereWhileSelectedIsNeverActedOn)
{
    addClips(5);
    const auto strip = makeStrip();
    const ClipItemPtr gone = strip->visibleClips()[2];
    model().setSelectedItemID(gone->id());
    model().container().mainContext().remove(gone);
    ASSERT_TRUE(model().container().mainContext().save());

    EXPECT_FALSE(clipIDs(strip->visibleClips()).contains(gone->id()));
    EXPECT_FALSE(model().visibleItemIDs().contains(gone->id()));
    EXPECT_EQ(strip->cardFor(gone->id()), nullptr);
    QTest::keyClick(strip.get(), Qt::Key_Return);
    EXPECT_TRUE(pasteboard.writes().isEmpty());
}

TEST_F(ClipStripTest, SearchChangesPutTheCursorOnTheFirstMatch)
{
    addTexts({"red apple", "green apple", "red cherry", "yellow banana"});
    const auto strip = makeStrip();
    model().setSelectedItemID(strip->visibleClips()[3]->id());

    model().setSearchText(QStringLiteral("apple"));
    EXPECT_EQ(model().selectedItemID(), strip->visibleClips().front()->id());
    EXPECT_EQ(strip->visibleClips().front()->text(), QStringLiteral("green apple"));

    model().setSelectedItemID(strip->visibleClips()[1]->id());
    model().setSearchFilters({SearchFilter::kind(ClipKind::text)});
    EXPECT_EQ(model().selectedItemID(), strip->visibleClips().front()->id());

    model().resetSearch();
    EXPECT_EQ(strip->visibleClips().front()->text(), QStringLiteral("yellow banana"));
    EXPECT_EQ(model().selectedItemID(), strip->visibleClips().front()->id());
}

TEST_F(ClipStripTest, PinboardTagsShowOnlyWhileTheHistoryIsSearched)
{
    const QList<ClipItemPtr> clips = addClips(2);
    const PinboardPtr work = model().newPinboard();
    model().pin({clips[0]}, *work);

    const auto history = makeStrip();
    EXPECT_EQ(card(*history, clips[0]).fields().pinboardTag, nullptr);
    model().openSearch();
    EXPECT_EQ(card(*history, clips[0]).fields().pinboardTag, work);
    EXPECT_EQ(card(*history, clips[1]).fields().pinboardTag, nullptr);

    const auto pinboard = makeStrip(work->id());
    EXPECT_EQ(card(*pinboard, clips[0]).fields().pinboardTag, nullptr);
    model().resetSearch();
    EXPECT_EQ(card(*history, clips[0]).fields().pinboardTag, nullptr);
}

TEST_F(ClipStripTest, FocusTokenGivesTheRowTheKeyboardWithoutActivatingItsWindow)
{
    addClips(3);
    QWidget window;
    auto *strip = new ClipStrip(model(), cards(), {}, fastTime, &window);
    auto *field = new QLineEdit(&window);
    window.show();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    field->setFocus();
    model().setSelectedItemID({});
    ASSERT_EQ(window.focusWidget(), field);

    model().bumpFocusToken();
    EXPECT_EQ(window.focusWidget(), strip);
    EXPECT_EQ(QApplication::activeWindow(), &other);
    EXPECT_EQ(model().selectedItemID(), strip->visibleClips().front()->id());
}

TEST_F(ClipStripTest, KeysGoThroughTheKeyMapAndTabStaysInTheRow)
{
    addClips(3);
    model().newPinboard();
    QWidget window;
    auto *strip = new ClipStrip(model(), cards(), {}, fastTime, &window);
    auto *field = new QLineEdit(&window); // somewhere Tab could otherwise go
    strip->setGeometry(0, 0, 1424, 350);
    field->setGeometry(0, 360, 100, 20);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(strip->hasFocus());

    model().setSelectedItemID(strip->visibleClips()[1]->id());
    QTest::keyClick(strip, Qt::Key_Return);
    ASSERT_EQ(pasteboard.writes().size(), 1);
    EXPECT_EQ(pasteboard.writes().first().first().value(PasteboardType::string), "clip 2");

    QTest::keyClick(strip, Qt::Key_Tab);
    EXPECT_FALSE(model().selectedPinboardID().isNull());
    EXPECT_TRUE(strip->hasFocus());

    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("é"));
    QApplication::sendEvent(strip, &composed);
    EXPECT_EQ(model().searchText(), QStringLiteral("é"));
    EXPECT_TRUE(model().searchOpened());
}

TEST_F(ClipStripTest, AHeldArrowKeyBringsEachNewCurrentCardIntoView)
{
    addClips(100);
    const auto strip = makeStrip();
    model().setSelectedItemID(strip->visibleClips().front()->id());
    for (int i = 0; i < 60; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(strip.get(), &repeat);
        QCoreApplication::processEvents();
    }
    const ClipItemPtr current = strip->visibleClips()[60];
    ASSERT_EQ(model().selectedItemID(), current->id());
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const ClipCard *card = strip->cardFor(current->id());
        return card && strip->viewport()->rect().contains(card->geometry());
    }));
    EXPECT_LE(strip->findChildren<ClipCard *>().size(), 10);
}

TEST_F(ClipStripTest, TheVerticalWheelScrollsTheRowSideways)
{
    addClips(10);
    const auto strip = makeStrip();
    const QPoint at = strip->viewport()->rect().center();
    QWheelEvent down(at, strip->viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase,
                     false);
    QApplication::sendEvent(strip->viewport(), &down);
    EXPECT_GT(offset(*strip), 0);
}

} // namespace
