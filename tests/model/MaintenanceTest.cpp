#include "StoreFixture.h"

#include "model/LocalRecords.h"
#include "model/StoreMaintenance.h"

#include <QSet>

using namespace tamo;
using namespace tamo::testing;
using Compare = FetchDescriptor::Compare;

class MaintenanceTest : public StoreFixture
{
protected:
    // Clips of one content, `ageSeconds` old, optionally pinned `pinAge` ago.
    ClipItemPtr addTwin(qint64 ageSeconds, const QUuid &pinboard = {}, qint64 pinAge = 0,
                        const QUuid &id = QUuid::createUuid())
    {
        auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("twin")),
                                               clock.now().addSecs(-ageSeconds), id);
        if (!pinboard.isNull())
            clip->setPin(pinboard, clock.now().addSecs(-pinAge));
        context().insert(clip);
        return clip;
    }

    ClipItemPtr addLocalOnlyImage(qint64 ageSeconds, const std::optional<QByteArray> &bytesHere)
    {
        ClipDraft draft;
        draft.kind = ClipKind::image;
        draft.imageData = QByteArray("large image");
        auto clip = std::make_shared<ClipItem>(draft, clock.now().addSecs(-ageSeconds));
        clip->setImageData(std::nullopt);
        clip->setImageIsLocalOnly(true);
        context().insert(clip);
        if (bytesHere)
            context().insert(std::make_shared<LocalImage>(clip->id(), *bytesHere));
        return clip;
    }

    QSet<QUuid> merge()
    {
        EXPECT_TRUE(context().save());
        const QList<QUuid> removed = StoreMaintenance(context()).mergeDuplicates();
        reopen();
        return QSet<QUuid>(removed.cbegin(), removed.cend());
    }

    ClipItemPtr stored(const ClipItemPtr &clip)
    {
        const auto found = context().fetch<ClipItem>(FetchDescriptor().where(ClipItem::IdColumn, Compare::equal, clip->id()));
        return found.size() == 1 ? found.first() : nullptr;
    }
};

TEST_F(MaintenanceTest, TwinsFoldIntoTheNewestWithEverythingTheOthersKnew)
{
    auto older = addTwin(3600);
    older->setTitle(QStringLiteral("Old title"));
    older->setKeywords({QStringLiteral("alpha"), QStringLiteral("Beta")});
    older->setLinkImageData(QByteArray("preview"));
    auto newer = addTwin(60);
    newer->setKeywords({QStringLiteral("beta"), QStringLiteral("gamma")});
    addClip(QStringLiteral("unrelated"), clock.now());

    EXPECT_EQ(merge(), QSet<QUuid>{older->id()});
    EXPECT_EQ(context().fetchCount<ClipItem>(), 2);
    const ClipItemPtr kept = stored(newer);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->title(), std::optional(QStringLiteral("Old title")));
    EXPECT_EQ(kept->linkImageData(), std::optional(QByteArray("preview")));
    EXPECT_EQ(kept->keywords(), QStringList({"beta", "gamma", "alpha"}));
}

TEST_F(MaintenanceTest, NoPinIsLost)
{
    const QUuid boardA = QUuid::createUuid();
    const QUuid boardB = QUuid::createUuid();
    auto onA = addTwin(7200, boardA, 10);        // the latest pin survives
    auto onB = addTwin(200, boardB, 20);
    auto onBAgain = addTwin(300, boardB, 30);     // folds into its pinboard's copy
    auto loose = addTwin(50);                     // the newest, yet unpinned

    EXPECT_EQ(merge(), QSet<QUuid>({loose->id(), onBAgain->id()}));
    ASSERT_TRUE(stored(onA) && stored(onB));
    EXPECT_EQ(stored(onA)->pinboardID(), std::optional(boardA));
    EXPECT_EQ(stored(onA)->createdAt(), clock.now().addSecs(-50));
    EXPECT_EQ(stored(onB)->pinboardID(), std::optional(boardB));
}

TEST_F(MaintenanceTest, LocalImagesAndEditDatesFollowTheSurvivor)
{
    auto holder = addLocalOnlyImage(3600, QByteArray("only copy"));
    context().insert(std::make_shared<ClipEdit>(holder->id(), clock.now().addSecs(-30)));
    auto synced = addLocalOnlyImage(60, std::nullopt); // from a machine that kept the bytes
    context().insert(std::make_shared<ClipEdit>(synced->id(), clock.now().addSecs(-900)));
    auto ownImage = addLocalOnlyImage(7200, QByteArray("second copy"));

    EXPECT_EQ(merge(), QSet<QUuid>({holder->id(), ownImage->id()}));
    const auto images = context().fetch<LocalImage>();
    ASSERT_EQ(images.size(), 1); // the image the survivor did not need was erased
    EXPECT_EQ(images.first()->clipID(), synced->id());
    EXPECT_EQ(images.first()->imageData(), QByteArray("only copy"));
    const auto edits = context().fetch<ClipEdit>();
    ASSERT_EQ(edits.size(), 1);
    EXPECT_EQ(edits.first()->clipID(), synced->id());
    EXPECT_EQ(edits.first()->editedAt(), clock.now().addSecs(-30));
}

TEST_F(MaintenanceTest, ClipsSharingAHashFoldOnlyWhereTheirContentIsTheSame)
{
    // Hash columns as a peer may send them: none, or one of other content.
    const auto withHash = [](ClipDraft draft, const QString &hash) {
        draft.contentHash = hash;
        return draft;
    };
    const QString hashOfA = contentHashOf(ClipDraft::fromText(QStringLiteral("a")));
    ClipDraft image;
    image.kind = ClipKind::image;
    image.imageData = QByteArray("first image");
    ClipDraft otherImage = image;
    otherImage.imageData = QByteArray("second image");
    const struct
    {
        const char *name;
        ClipDraft older;
        ClipDraft newer;
    } cases[] = {
        {"no hash, other texts", withHash(ClipDraft::fromText(QStringLiteral("one")), {}),
         withHash(ClipDraft::fromText(QStringLiteral("two")), {})},
        {"no hash, same text", withHash(ClipDraft::fromText(QStringLiteral("same")), {}),
         withHash(ClipDraft::fromText(QStringLiteral("same")), {})},
        {"another text's hash", ClipDraft::fromText(QStringLiteral("a")),
         withHash(ClipDraft::fromText(QStringLiteral("b")), hashOfA)},
        {"another image's hash", image, withHash(otherImage, contentHashOf(image))},
    };
    for (const auto &c : cases) {
        context().insert(std::make_shared<ClipItem>(c.older, clock.now().addSecs(-60)));
        context().insert(std::make_shared<ClipItem>(c.newer, clock.now()));
        EXPECT_TRUE(merge().isEmpty()) << c.name;
        EXPECT_EQ(context().fetchCount<ClipItem>(), 2) << c.name;
        context().removeClips(FetchDescriptor());
        ASSERT_TRUE(context().save());
    }
}

TEST_F(MaintenanceTest, SameIdDuplicatesFoldWithoutReportingTheIdAsGone)
{
    const QUuid id = QUuid::createUuid();
    addTwin(600, {}, 0, id);
    addTwin(60, {}, 0, id);
    context().insert(std::make_shared<ClipEdit>(id, clock.now()));

    EXPECT_TRUE(merge().isEmpty());
    EXPECT_EQ(context().fetchCount<ClipItem>(), 1);
    EXPECT_EQ(context().fetchCount<ClipEdit>(), 1); // its clip still exists
}

TEST_F(MaintenanceTest, OrphanLocalRecordsGoAndLiveOnesStay)
{
    auto live = addClip(QStringLiteral("live"), clock.now());
    const QUuid gone = QUuid::createUuid();
    for (const QUuid &id : {live->id(), gone}) {
        context().insert(std::make_shared<LocalImage>(id, QByteArray("image")));
        context().insert(std::make_shared<ClipEdit>(id, clock.now()));
    }
    context().insert(std::make_shared<ClipEdit>(QUuid::createUuid(), clock.now()));
    ASSERT_TRUE(context().save());

    EXPECT_EQ(StoreMaintenance(context()).removeOrphanLocalRecords(), 3);
    reopen();
    const auto images = context().fetch<LocalImage>();
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images.first()->clipID(), live->id());
    EXPECT_EQ(context().fetchCount<ClipEdit>(), 1);
}
