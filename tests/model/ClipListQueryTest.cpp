#include "StoreFixture.h"

#include "model/ClipListQuery.h"
#include "model/ClipSearch.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <functional>

using namespace tamo;
using namespace tamo::testing;

namespace {

QList<QUuid> idsOf(const QList<ClipItemPtr> &clips)
{
    QList<QUuid> ids;
    for (const ClipItemPtr &clip : clips)
        ids.append(clip->id());
    return ids;
}

class ClipListQueryTest : public StoreFixture
{
protected:
    ClipItemPtr clipAt(int second) { return addClip(QStringLiteral("clip %1").arg(second), start.addSecs(second)); }

    const QDateTime start = QDateTime::fromSecsSinceEpoch(1'700'000'000);
    const QUuid board = QUuid::createUuid();
};

// After every kind of save, a list that followed it holds what a fresh fetch
// gives, and a new copy is followed without a fetch.
TEST_F(ClipListQueryTest, AFollowedListIsWhatAFetchGives)
{
    QList<ClipItemPtr> clips;
    for (int second = 0; second < 5; ++second)
        clips.append(clipAt(second));
    clips[1]->setPin(board, start.addSecs(100));
    clips[3]->setPin(board, start.addSecs(101));
    ASSERT_TRUE(context().save());

    const QList<std::pair<const char *, ClipListQuery>> queries{
        {"history", ClipListQuery::history(3)}, {"pinboard", ClipListQuery::pinboard(board)},
        {"pinned", ClipListQuery::pinned()}};
    QList<QList<ClipItemPtr>> followed;
    for (const auto &[name, query] : queries)
        followed.append(query.fetch(context()));

    struct Step
    {
        const char *name;
        std::function<void()> change;
        bool historyFollowedWithoutFetch;
    };
    const QList<Step> steps{
        {"a new copy", [&] { clipAt(10); }, true},
        {"a copy again moves its clip to now", [&] { clips[0]->setCreatedAt(start.addSecs(20)); }, true},
        {"pinned", [&] { clips[2]->setPin(board, start.addSecs(102)); }, true},
        {"unpinned", [&] { clips[3]->setPin(std::nullopt, std::nullopt); }, true},
        {"renamed", [&] { clips[1]->setTitle(QStringLiteral("renamed")); }, true},
        {"the newest deleted from the full history", [&] { context().remove(clips[0]); }, false},
        {"an old one deleted", [&] { context().remove(clips[1]); }, true},
    };
    for (const Step &step : steps) {
        step.change();
        QList<SaveSummary> saves;
        QObject::connect(&context(), &ModelContext::didSave, [&](const SaveSummary &summary) { saves.append(summary); });
        ASSERT_TRUE(context().save()) << step.name;
        ASSERT_EQ(saves.size(), 1);
        for (qsizetype i = 0; i < queries.size(); ++i) {
            const bool followedWithoutFetch = queries[i].second.followSave(followed[i], saves.first());
            if (!followedWithoutFetch)
                followed[i] = queries[i].second.fetch(context());
            EXPECT_EQ(idsOf(followed[i]), idsOf(queries[i].second.fetch(context())))
                << step.name << ", " << queries[i].first;
            if (i == 0) {
                EXPECT_EQ(followedWithoutFetch, step.historyFollowedWithoutFetch) << step.name;
            }
        }
        context().disconnect();
    }
}

TEST_F(ClipListQueryTest, AChangeThroughAnotherConnectionIsFetched)
{
    clipAt(0);
    ASSERT_TRUE(context().save());
    QList<ClipItemPtr> history = ClipListQuery::history(10).fetch(context());
    SaveSummary external;
    external.entities.insert(QStringLiteral("ClipItem"));
    EXPECT_FALSE(ClipListQuery::history(10).followSave(history, external));
}

// The search reads the store on a connection of its own; only the last
// search started reports.
TEST_F(ClipListQueryTest, StartingASearchCancelsTheOneRunning)
{
    for (int second = 0; second < 1200; ++second)
        clipAt(second)->setPin(second % 2 ? std::optional(board) : std::nullopt, start.addSecs(second));
    ASSERT_TRUE(context().save());

    ClipSearch search(dir.path());
    QSignalSpy finished(&search, &ClipSearch::finished);
    search.start({QStringLiteral("clip"), {}, {}});
    search.start({QStringLiteral("clip 11"), {}, {}});
    ASSERT_TRUE(finished.wait(10000));
    QTest::qWait(100);
    ASSERT_EQ(finished.size(), 1);
    const QList<QUuid> ids = finished.first().first().value<QList<QUuid>>();
    EXPECT_EQ(ids.size(), 111); // 11, 110–119, 1100–1199, newest first
    EXPECT_EQ(finished.first().last().toInt(), 3);

    search.start({QStringLiteral("clip 11"), {}, board});
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(finished.last().first().value<QList<QUuid>>().size(), 56); // the odd ones
}

// A search reports its newest matches before it reads the rest of the
// history; they are the start of the list it finishes with, and that list is
// the history's matches in order.
TEST_F(ClipListQueryTest, TheFirstMatchesStartTheWholeList)
{
    const QString editor = QStringLiteral("org.example.editor");
    const auto textAt = [](int second) {
        return second % 10 == 3 ? QStringLiteral("https://example.org/%1").arg(second)
                                : QStringLiteral("clip %1").arg(second);
    };
    const auto fromEditor = [](int second) { return second % 4 != 0; };
    const auto pinned = [](int second) { return second % 3 == 0; };
    constexpr int clipCount = 1200;
    QList<QUuid> idAt; // by second
    for (int second = 0; second < clipCount; ++second) {
        auto clip = std::make_shared<ClipItem>(
            ClipDraft::fromText(textAt(second), {}, fromEditor(second) ? std::optional(editor) : std::nullopt,
                                QStringLiteral("Editor")),
            start.addSecs(second));
        context().insert(clip);
        if (pinned(second))
            clip->setPin(board, start.addSecs(2000 - second)); // the oldest clip pinned last
        idAt.append(clip->id());
    }
    ASSERT_TRUE(context().save());

    constexpr int firstCount = 20;
    const auto holds = [&](int second, const char *part) { return textAt(second).contains(QLatin1String(part)); };
    struct Case
    {
        const char *name;
        ClipSearch::Query query;
        std::function<bool(int second)> found;
    };
    const QList<Case> cases{
        {"a text most clips hold", {QStringLiteral("1"), {}, {}}, [&](int s) { return holds(s, "1"); }},
        {"a rare text", {QStringLiteral("clip 111"), {}, {}}, [&](int s) { return holds(s, "clip 111"); }},
        {"no match", {QStringLiteral("nowhere"), {}, {}}, [](int) { return false; }},
        {"a kind", {{}, {SearchFilter::kind(ClipKind::link)}, {}}, [](int s) { return s % 10 == 3; }},
        {"an app and a text", {QStringLiteral("9"), {SearchFilter::app(editor, QStringLiteral("Editor"))}, {}},
         [&](int s) { return fromEditor(s) && holds(s, "9"); }},
        {"a pinboard", {QStringLiteral("5"), {}, board}, [&](int s) { return pinned(s) && holds(s, "5"); }},
        {"the newest clips only", {QStringLiteral("2"), {}, {}, 300},
         [&](int s) { return s >= clipCount - 300 && holds(s, "2"); }},
        {"the newest clips, past the first page", {QStringLiteral("2"), {}, {}, 700},
         [&](int s) { return s >= clipCount - 700 && holds(s, "2"); }},
    };
    for (Case test : cases) {
        SCOPED_TRACE(test.name);
        test.query.firstMatchCount = firstCount;
        // The history newest first; the pinboard most recently pinned first, which is oldest first here.
        QList<QUuid> expected;
        for (int i = 0; i < clipCount; ++i) {
            const int second = test.query.pinboardID.isNull() ? clipCount - 1 - i : i;
            if (test.found(second))
                expected.append(idAt[second]);
        }

        ClipSearch search(dir.path());
        QSignalSpy first(&search, &ClipSearch::firstMatchesFound);
        QSignalSpy finished(&search, &ClipSearch::finished);
        search.start(test.query);
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_EQ(finished.first().first().value<QList<QUuid>>(), expected);
        ASSERT_EQ(first.size(), expected.size() >= firstCount ? 1 : 0);
        if (!first.isEmpty()) {
            EXPECT_EQ(first.first().first().value<QList<QUuid>>(), expected.first(firstCount));
        }
    }
}

// Nothing a superseded search found reaches the screen, not even its first matches.
TEST_F(ClipListQueryTest, ASupersededSearchReportsNothing)
{
    for (int second = 0; second < 3000; ++second)
        clipAt(second);
    ASSERT_TRUE(context().save());

    ClipSearch search(dir.path());
    QList<QList<QUuid>> reported;
    const auto record = [&](const QList<QUuid> &ids) { reported.append(ids); };
    QObject::connect(&search, &ClipSearch::firstMatchesFound, record);
    QSignalSpy finished(&search, &ClipSearch::finished);
    QObject::connect(&search, &ClipSearch::finished, record);
    search.start({QStringLiteral("clip"), {}, {}, -1, 10});
    QThread::msleep(200); // the first search finds its first matches meanwhile
    search.start({QStringLiteral("clip 29"), {}, {}, -1, 10});
    ASSERT_TRUE(finished.wait(10000));
    QTest::qWait(100);
    ASSERT_EQ(reported.size(), 2);
    const QList<QUuid> whole = reported.last();
    EXPECT_EQ(whole.size(), 111); // 29, 290–299, 2900–2999
    EXPECT_EQ(reported.first(), whole.first(10));
}

} // namespace
