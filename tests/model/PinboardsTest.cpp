#include "StoreFixture.h"

#include "model/Pinboards.h"

#include <QSignalSpy>

using namespace tamo;
using namespace tamo::testing;
using Compare = FetchDescriptor::Compare;

class PinboardsTest : public StoreFixture
{
protected:
    PinboardPtr addPinboard(const char *name, int order, const QUuid &id = QUuid::createUuid())
    {
        auto pinboard = std::make_shared<Pinboard>(QLatin1String(name), 0, order, id);
        context().insert(pinboard);
        return pinboard;
    }

    void startEmpty()
    {
        reopen();
        for (const PinboardPtr &existing : context().fetch<Pinboard>())
            context().remove(existing);
    }

    // A fresh store holding A, B and C in that order.
    QHash<QString, QUuid> startWithABC()
    {
        startEmpty();
        QHash<QString, QUuid> ids;
        for (const char *name : {"A", "B", "C"})
            ids.insert(QLatin1String(name), addPinboard(name, int(ids.size()))->id());
        EXPECT_TRUE(context().save());
        return ids;
    }

    QStringList shownNames()
    {
        QStringList names;
        for (const PinboardPtr &pinboard : pinboards().orderedPinboards())
            names.append(pinboard->name());
        return names;
    }

    Pinboards pinboards() { return Pinboards(context()); }
};

TEST_F(PinboardsTest, NewPinboardFollowsTheLastWithTheNextColour)
{
    struct Case { QList<int> orders; bool duplicateFirst; int order, color; };
    const Case cases[] = {
        {{}, false, 0, 0},
        {{0, 5}, false, 6, 2},
        {{0, 5}, true, 6, 2}, // a second record of one id counts once
        {{0, 1, 2, 3, 4, 5, 6, 7, 8}, false, 9, 0},
    };
    for (const Case &c : cases) {
        startEmpty();
        QList<QUuid> ids;
        for (int order : c.orders)
            ids.append(addPinboard("P", order)->id());
        if (c.duplicateFirst)
            addPinboard("P twin", 0, ids.first());
        ASSERT_TRUE(context().save());

        const PinboardPtr created = pinboards().newPinboard();
        EXPECT_EQ(created->name(), QStringLiteral("Untitled"));
        EXPECT_EQ(created->order(), c.order);
        EXPECT_EQ(created->colorIndex(), c.color);
        reopen();
        EXPECT_EQ(pinboards().orderedPinboards().last()->id(), created->id());
    }
}

TEST_F(PinboardsTest, CommittingARenameTrimsAndNeverLeavesItBlank)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral(" Work\n"), QStringLiteral("Work")},
        {QStringLiteral("\t Two  words \r\n"), QStringLiteral("Two  words")},
        {QStringLiteral("  \n"), QStringLiteral("Untitled")},
    };
    auto pinboard = addPinboard("old", 0);
    for (const auto &[typed, stored] : cases) {
        pinboard->setName(typed); // the rename field writes every keystroke
        pinboards().commitRename(*pinboard);
        EXPECT_EQ(pinboard->name(), stored);
        EXPECT_FALSE(context().hasChanges());
    }
}

TEST_F(PinboardsTest, MovingWritesOnlyChangedPositionsAndWaitsForTheDragToEnd)
{
    struct Case { const char *dragged, *target; QStringList shown; int written; };
    const Case cases[] = {
        {"A", "C", {"B", "C", "A"}, 3},
        {"C", "A", {"C", "A", "B"}, 3},
        {"A", "B", {"B", "A", "C"}, 2},
        {"B", "B", {"A", "B", "C"}, 0},
        {"unknown", "A", {"A", "B", "C"}, 0},
        {"A", "unknown", {"A", "B", "C"}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.dragged) + " onto " + c.target);
        const QHash<QString, QUuid> ids = startWithABC();
        QSignalSpy written(&context(), qOverload<const Record *>(&ModelContext::recordChanged));
        pinboards().movePinboard(ids.value(QLatin1String(c.dragged), QUuid::createUuid()),
                                 ids.value(QLatin1String(c.target), QUuid::createUuid()));
        EXPECT_EQ(shownNames(), c.shown);
        EXPECT_EQ(written.size(), c.written);
        reopen(); // nothing reached the store before the drag ended
        EXPECT_EQ(shownNames(), QStringList({"A", "B", "C"}));
    }

    // Moves during one drag build on each other, and the end of it saves
    // them. A duplicate record left at its old position would pull its tab back.
    const QHash<QString, QUuid> ids = startWithABC();
    addPinboard("A twin", 1, ids.value("A"));
    ASSERT_TRUE(context().save());
    pinboards().movePinboard(ids.value("A"), ids.value("C"));
    pinboards().movePinboard(ids.value("B"), ids.value("A"));
    ASSERT_TRUE(pinboards().saveOrder());
    reopen();
    EXPECT_EQ(shownNames(), QStringList({"C", "A", "B"}));
}

TEST_F(PinboardsTest, DeletingAPinboardUnpinsItsClipsAndRemovesEveryRecordOfIt)
{
    const auto doomed = addPinboard("Doomed", 0);
    addPinboard("Doomed twin", 3, doomed->id());
    const auto other = addPinboard("Other", 1);
    QList<QUuid> unpinned;
    for (const char *text : {"one", "two", "three"}) {
        auto clip = addClip(QLatin1String(text), clock.now());
        clip->setPin(unpinned.size() < 2 ? doomed->id() : other->id(), clock.now());
        unpinned.append(clip->id());
    }
    unpinned.removeLast();
    ASSERT_TRUE(context().save());

    EXPECT_EQ(pinboards().deletePinboard(doomed), unpinned);
    reopen();
    EXPECT_EQ(shownNames(), QStringList({"Other"}));
    EXPECT_EQ(context().fetchCount<ClipItem>(), 3); // still in the history
    EXPECT_EQ(context().fetchCount<ClipItem>(FetchDescriptor().where(ClipItem::PinnedAtColumn, Compare::isNull)), 2);
    EXPECT_EQ(context().fetchCount<ClipItem>(FetchDescriptor().where(ClipItem::PinboardIDColumn, Compare::equal,
                                                                     other->id())), 1);
}
