#include "StripFixture.h"

#include "drawer/GlidingGlass.h"
#include "drawer/PictureEffect.h"
#include "drawer/PinboardBar.h"

#include "drawer/ExploreFeaturesButton.h"
#include "drawer/PinboardDropDelegate.h"
#include "drawer/PinboardNameField.h"
#include "drawer/PinboardTab.h"
#include "drawer/PinboardTabLabel.h"
#include "drawer/SettingsGear.h"
#include "model/PinboardPalette.h"
#include "model/Pinboards.h"

#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

class PinboardBarTest : public StripFixture
{
protected:
    std::unique_ptr<PinboardBar> makeBar(int width = 1400)
    {
        auto bar = std::make_unique<PinboardBar>(model(), fastTime);
        bar->resize(width, bar->height());
        bar->show();
        bar->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(bar.get()));
        return bar;
    }

    QList<PinboardPtr> addPinboards(const QStringList &names)
    {
        QList<PinboardPtr> boards;
        for (const QString &name : names) {
            PinboardPtr board = model().newPinboard();
            board->setName(name);
            model().commitPinboardRename(*board);
            boards.append(board);
        }
        return boards;
    }

    static QStringList tabNames(const PinboardBar &bar)
    {
        QCoreApplication::processEvents(); // the row catches up with the model
        QStringList names;
        for (const PinboardTab *tab : bar.tabs())
            names.append(tab->label()->title());
        return names;
    }

    static QStringList actionTexts(const QMenu &menu)
    {
        QStringList texts;
        for (const QAction *action : menu.actions())
            texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }
};

TEST(ReorderTilt, NeighboursSwingOppositeWaysUnlessMotionIsReduced)
{
    EXPECT_LT(reorderTilt(1, 0, false) * reorderTilt(1, 1, false), 0);
    EXPECT_EQ(reorderTilt(1, 3, true), 0);
}

TEST_F(PinboardBarTest, ExploreFeaturesIsAWhiteBulbOnItsAccentDisc)
{
    const auto bar = makeBar();
    auto *explore = bar->findChild<ExploreFeaturesButton *>();
    ASSERT_NE(explore, nullptr);
    EXPECT_FALSE(explore->isGlass());
    EXPECT_EQ(explore->size(), QSize(30, 30));
    const QImage look = explore->grab().toImage();
    EXPECT_EQ(look.pixelColor(6, 15).rgb(), ExploreFeaturesButton::accentColor().rgb()); // the disc
    EXPECT_EQ(look.pixelColor(15, 14).rgb(), QColor(Qt::white).rgb());                  // the bulb
}

TEST_F(PinboardBarTest, WithoutPinboardsTheRowIsCentred)
{
    const auto bar = makeBar();
    EXPECT_TRUE(bar->tabs().isEmpty());
    EXPECT_TRUE(bar->historyTab()->isSelected());
    EXPECT_EQ(bar->selectedTitle(), QStringLiteral("Clipboard History"));
    const QWidget *row = bar->historyTab()->parentWidget();
    const int left = bar->searchButton()->geometry().left();
    const int right = row->width() - bar->newPinboardButton()->geometry().right() - 1;
    EXPECT_GT(left, 100);
    EXPECT_NEAR(left, right, 2);
}

TEST_F(PinboardBarTest, ShowsOneTabPerPinboardIdInOrder)
{
    const QList<PinboardPtr> boards = addPinboards({"Work", "Home"});
    ModelContext &context = model().container().mainContext();
    context.insert(std::make_shared<Pinboard>(QStringLiteral("Work copy"), 0, 5, boards[0]->id())); // as sync can leave
    ASSERT_TRUE(context.save());
    const auto bar = makeBar();
    EXPECT_EQ(tabNames(*bar), QStringList({"Work", "Home"}));
    EXPECT_EQ(bar->tabs()[0]->label()->mark(), PinboardTabLabel::Mark::dot);
    EXPECT_EQ(bar->historyTab()->mark(), PinboardTabLabel::Mark::symbol);
}

TEST_F(PinboardBarTest, SelectionHighlightTakesTheTabsColour)
{
    const PinboardPtr board = addPinboards({"Work"}).first();
    model().setPinboardColor(5, *board);
    const auto bar = makeBar();
    QTest::mouseClick(bar->tabs()[0]->label(), Qt::LeftButton);
    EXPECT_EQ(model().selectedPinboardID(), board->id());
    EXPECT_EQ(bar->selectedTitle(), QStringLiteral("Work"));
    const QColor fill = bar->tabs()[0]->label()->glass().fill();
    EXPECT_EQ(fill.rgb(), paletteEntry(5).color.rgb());
    EXPECT_FALSE(bar->historyTab()->isSelected());

    QTest::mouseClick(bar->historyTab(), Qt::LeftButton);
    EXPECT_TRUE(model().selectedPinboardID().isNull());
}

TEST_F(PinboardBarTest, ClicksDoNotSelectWhileReordering)
{
    addPinboards({"Work"});
    const auto bar = makeBar();
    model().setReorderingPinboards(true);
    EXPECT_TRUE(bar->doneButton()->isVisible());
    // A capsule of the accent like the round buttons beside it, not a square box.
    QPushButton &done = *bar->doneButton();
    // Seen in the bar: a grab of the button alone fills its corners with its own fill.
    const QImage look = bar->grab(QRect(done.mapTo(bar.get(), QPoint()), done.size())).toImage();
    const QColor accent = done.palette().color(QPalette::Highlight);
    EXPECT_EQ(look.pixelColor(4, look.height() / 2), accent);
    EXPECT_NE(look.pixelColor(1, 1), accent) << "a rounded corner";
    EXPECT_LE(done.height(), 24);
    QTest::mouseClick(bar->tabs()[0]->label(), Qt::LeftButton);
    EXPECT_TRUE(model().selectedPinboardID().isNull());
    QTest::mouseClick(bar->doneButton(), Qt::LeftButton);
    EXPECT_FALSE(model().isReorderingPinboards());
    EXPECT_FALSE(bar->doneButton()->isVisible());
}

TEST_F(PinboardBarTest, HoldingATabStillStartsReordering)
{
    addPinboards({"Work"});
    const auto bar = makeBar();
    PinboardTabLabel *label = bar->tabs()[0]->label();
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(label, QPoint(25, 10)); // more than 10 cancels the hold
    QTest::qWait(PinboardTab::longPressMs + 100);
    EXPECT_FALSE(model().isReorderingPinboards());
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(25, 10));
    EXPECT_FALSE(model().selectedPinboardID().isNull()); // an ordinary click
    model().setSelectedPinboardID({});

    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(QTest::qWaitFor([&] { return model().isReorderingPinboards(); }, PinboardTab::longPressMs + 1000));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(model().selectedPinboardID().isNull()); // the release is no click
}

TEST_F(PinboardBarTest, SearchReplacesTheTabsWithThePill)
{
    const auto bar = makeBar();
    QTest::mouseClick(bar->searchButton(), Qt::LeftButton);
    EXPECT_TRUE(model().searchOpened());
    EXPECT_FALSE(bar->searchButton()->isVisible());
    EXPECT_TRUE(bar->tabsHolder()->testAttribute(Qt::WA_TransparentForMouseEvents));
    ASSERT_NE(bar->searchPill(), nullptr);
    // The 38 pt pill is taller than the 36 pt row, and shown whole.
    EXPECT_EQ(bar->searchPill()->height(), SearchPill::fixedHeight);
    EXPECT_TRUE(bar->rect().contains(bar->searchPill()->geometry()));

    model().resetSearch();
    EXPECT_TRUE(bar->searchButton()->isVisible());
    EXPECT_FALSE(bar->tabsHolder()->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(bar->searchPill(), nullptr);
}

TEST_F(PinboardBarTest, ThePillGrowsOutOfTheSearchButtonAsTheTabsBlurAway)
{
    const auto bar = makeBar();
    const QRect button(bar->searchButton()->mapTo(bar.get(), QPoint()), bar->searchButton()->size());
    QTest::mouseClick(bar->searchButton(), Qt::LeftButton);
    SearchPill *pill = bar->searchPill();
    const auto *grow = static_cast<const PictureEffect *>(pill->graphicsEffect());
    EXPECT_EQ(grow->into().toRect(), QRect(pill->mapFrom(bar.get(), button.topLeft()), button.size()));
    EXPECT_EQ(grow->opacity(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grow->hasLook(); })); // grown into its own place
    const auto *tabs = static_cast<const PictureEffect *>(bar->tabsHolder()->graphicsEffect());
    EXPECT_EQ(tabs->opacity(), 0);
    EXPECT_EQ(tabs->blurRadius(), 6);
    EXPECT_NEAR(tabs->into().width() / bar->tabsHolder()->width(), 0.94, 0.005);

    model().resetSearch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tabs->hasLook(); }));
    EXPECT_TRUE(bar->findChildren<SearchPill *>().isEmpty()); // shrunk back into the button and gone
}

TEST_F(PinboardBarTest, ATabTakesClicksOnlyOnItsCapsule)
{
    addPinboards({"Work"});
    const auto bar = makeBar();
    PinboardTabLabel *label = bar->tabs()[0]->label();
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(model().selectedPinboardID().isNull());
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    EXPECT_FALSE(model().selectedPinboardID().isNull());
}

TEST_F(PinboardBarTest, TheSelectionCapsuleGlidesToTheNewTab)
{
    addPinboards({"Work"});
    const auto bar = makeBar();
    PinboardTabLabel *work = bar->tabs()[0]->label();
    QTest::mouseClick(work, Qt::LeftButton, {}, work->rect().center());
    const auto *glide = bar->findChild<GlidingGlass *>();
    ASSERT_NE(glide, nullptr);
    EXPECT_TRUE(glide->isGliding());
    EXPECT_TRUE(work->isGlassHidden()); // the moving capsule stands in for its own
    ASSERT_TRUE(QTest::qWaitFor([&] { return !glide->isGliding(); }));
    EXPECT_FALSE(work->isGlassHidden());
    EXPECT_TRUE(glide->isHidden());
}

TEST_F(PinboardBarTest, SwappedTabsSpringToTheirNewPlaces)
{
    const QList<PinboardPtr> boards = addPinboards({"First pinboard", "Second pinboard"});
    PinboardBar bar(model(), TimeScale{}); // at full length, so the first frames can be seen
    bar.resize(1400, PinboardBar::barHeight);
    bar.show();
    model().setReorderingPinboards(true);
    QCoreApplication::processEvents(); // the row makes room for "Done"
    PinboardTab *first = bar.tabs()[0];
    const int shownAt = first->x();
    model().movePinboard(boards[0]->id(), boards[1]->id());
    QCoreApplication::processEvents();
    ASSERT_EQ(bar.tabs().last(), first);
    const PinboardTab *second = bar.tabs().first();
    const auto place = [&] { return second->x() + second->width() + 2; }; // where the row puts it
    EXPECT_LT(std::abs(first->x() - shownAt), std::abs(place() - shownAt) / 2); // no jump
    EXPECT_TRUE(QTest::qWaitFor([&] { return first->x() == place() && second->x() == shownAt; }));
}

TEST_F(PinboardBarTest, GearOpensSettingsOnClickAndHoldsTheAppCommands)
{
    const auto bar = makeBar();
    QTest::mouseClick(bar->gear(), Qt::LeftButton);
    EXPECT_TRUE(ext.log.filter(QStringLiteral("drawer.hide")).size() == 1) << ext.log.join(", ").toStdString();

    ASSERT_NE(bar->gear()->menu(), nullptr);
    const QMenu &menu = *bar->gear()->menu();
    EXPECT_EQ(actionTexts(menu), QStringList({"Settings…", "Clear History", "-", "About TamoCove", "Check for Updates…",
                                              "Quit TamoCove"}));
    EXPECT_EQ(bar->gear()->popupMode(), QToolButton::DelayedPopup);
    ext.log.clear();
    menu.actions()[3]->trigger();
    EXPECT_EQ(ext.log, QStringList({"drawer.hide", "menubar.hide", "about"}));
}

TEST_F(PinboardBarTest, NewPinboardStartsRenamingWithoutSelectingIt)
{
    const PinboardPtr work = addPinboards({"Work"}).first();
    model().setSelectedPinboardID(work->id());
    const auto bar = makeBar();
    QTest::mouseClick(bar->newPinboardButton(), Qt::LeftButton);
    EXPECT_EQ(model().selectedPinboardID(), work->id());
    EXPECT_EQ(tabNames(*bar), QStringList({"Work", "Untitled"}));
    PinboardTab *tab = bar->tabs()[1];
    EXPECT_EQ(model().renamingPinboardID(), tab->board()->id());
    EXPECT_TRUE(tab->isRenaming());
    EXPECT_TRUE(QTest::qWaitFor([&] { return tab->nameField()->lineEdit()->hasFocus(); }));
}

TEST_F(PinboardBarTest, RenameWritesEveryKeystrokeAndCommitsOnReturnEscOrFocusLoss)
{
    enum class End { returnKey, escape, focusLoss };
    struct Case { End end; const char *typed; const char *stored; };
    for (const Case &c : {Case{End::returnKey, "  Notes ", "Notes"}, Case{End::escape, "Ideas", "Ideas"},
                          Case{End::focusLoss, "   ", "Untitled"}}) {
        const PinboardPtr board = addPinboards({"Old"}).first();
        const auto bar = makeBar();
        PinboardTab *tab = nullptr;
        for (PinboardTab *candidate : bar->tabs())
            tab = candidate->board() == board ? candidate : tab;
        ASSERT_NE(tab, nullptr);
        ASSERT_EQ(actionTexts(*tab->makeMenu()).first(), QStringLiteral("Rename"));
        tab->makeMenu()->actions().first()->trigger();
        QLineEdit *edit = tab->nameField()->lineEdit();
        ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(board->name(), QString::fromUtf8(c.typed)); // live, untrimmed
        EXPECT_EQ(tabNames(*bar).last(), QString::fromUtf8(c.typed));

        const int focusToken = model().focusToken();
        switch (c.end) {
        case End::returnKey: QTest::keyClick(edit, Qt::Key_Return); break;
        case End::escape: QTest::keyClick(edit, Qt::Key_Escape); break;
        case End::focusLoss: bar->searchButton()->setFocus(); break;
        }
        EXPECT_TRUE(model().renamingPinboardID().isNull());
        EXPECT_EQ(board->name(), QString::fromUtf8(c.stored));
        EXPECT_EQ(model().focusToken(), focusToken + 1); // committed once
        EXPECT_FALSE(tab->isRenaming());
        EXPECT_EQ(model().pinboards().pinboardWithID(board->id()).first()->name(), QString::fromUtf8(c.stored));
    }
}

TEST_F(PinboardBarTest, MenuRecoloursAndDeletes)
{
    const QList<PinboardPtr> boards = addPinboards({"Work", "Home"});
    const QList<ClipItemPtr> clips = addClips(1);
    model().pin(clips, *boards[0]);
    boards[1]->setColorIndex(11);
    const auto bar = makeBar();

    QMenu *menu = bar->tabs()[1]->makeMenu();
    QMenu *colors = menu->actions()[1]->menu();
    ASSERT_EQ(colors->actions().size(), 9);
    for (const QAction *action : colors->actions())
        EXPECT_FALSE(action->isChecked()) << action->text().toStdString(); // 11 is past the palette
    EXPECT_EQ(bar->tabs()[1]->label()->glass().tint, paletteEntry(2).color);
    colors->actions()[8]->trigger();
    EXPECT_EQ(boards[1]->colorIndex(), 8);
    EXPECT_EQ(bar->tabs()[1]->label()->glass().tint, paletteEntry(8).color);

    QMenu *first = bar->tabs()[0]->makeMenu();
    first->actions()[3]->trigger();
    EXPECT_EQ(tabNames(*bar), QStringList({"Home"}));
    EXPECT_FALSE(clips[0]->pinboardID().has_value());
}

TEST_F(PinboardBarTest, DraggingATabOverAnotherMovesItThere)
{
    const QList<PinboardPtr> boards = addPinboards({"A", "B", "C"});
    const auto bar = makeBar();
    model().setReorderingPinboards(true);
    model().setDraggedPinboardID(boards[0]->id());
    EXPECT_DOUBLE_EQ(bar->tabs()[0]->label()->opacity(), 0.4);

    EXPECT_FALSE((PinboardDropDelegate{boards[0]->id(), model()}.dropEntered())); // its own place
    PinboardTab *third = bar->tabs()[2];
    QMimeData data;
    data.setText(boards[0]->id().toString(QUuid::WithoutBraces).toUpper());
    QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(third, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(tabNames(*bar), QStringList({"B", "C", "A"})); // before the drop

    QDropEvent drop(QPointF(5, 5), Qt::MoveAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(bar->tabs()[1], &drop);
    EXPECT_TRUE(model().draggedPinboardID().isNull());
    EXPECT_DOUBLE_EQ(bar->tabs()[2]->label()->opacity(), 1.0);

    model().endPinboardReorder();
    QStringList stored;
    for (const PinboardPtr &board : model().pinboards().orderedPinboards())
        stored.append(board->name());
    EXPECT_EQ(stored, QStringList({"B", "C", "A"}));
}

TEST_F(PinboardBarTest, SelectingAPinboardScrollsItsTabIntoView)
{
    QStringList names;
    for (int i = 1; i <= 12; ++i)
        names.append(QStringLiteral("Pinboard number %1").arg(i));
    const QList<PinboardPtr> boards = addPinboards(names);
    const auto bar = makeBar(600);
    QScrollBar *scroll = bar->tabsArea()->horizontalScrollBar();
    EXPECT_FALSE(scroll->isVisible());
    const QWidget *view = bar->tabsArea()->viewport();
    const QWidget *last = bar->tabs().last();
    const auto inView = [&](const QWidget *tab) {
        const QRect shown(tab->mapTo(view, QPoint(0, 0)), tab->size());
        return view->rect().contains(shown);
    };
    EXPECT_FALSE(inView(last));
    model().setSelectedPinboardID(boards.last()->id());
    EXPECT_TRUE(QTest::qWaitFor([&] { return inView(last); }));
    model().setSelectedPinboardID({});
    EXPECT_TRUE(QTest::qWaitFor([&] { return inView(bar->historyTab()); }));
}

} // namespace
