#include "app/AppModelFixture.h"

#include "model/ClipLibrary.h"
#include "model/ContentHash.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SettingsKeys.h"
#include "onboarding/WelcomeClips.h"

#include <gtest/gtest.h>

namespace tamo::testing {
namespace {

class WelcomeClipsTest : public AppModelFixture
{
protected:
    ModelContext &context() { return model().container().mainContext(); }
    WelcomeClips welcome() { return WelcomeClips(context(), model().clips(), defaults, clock); }

    QList<ClipItemPtr> clips()
    {
        return context().fetch<ClipItem>(FetchDescriptor().sorted(ClipItem::CreatedAtColumn, true));
    }

    ClipItemPtr addClip(const QString &text)
    {
        ClipDraft draft = ClipDraft::fromText(text);
        ClipItemPtr clip = model().clips().makeClip(draft);
        context().save();
        return clip;
    }

    PinboardPtr addPinboard(const QString &name)
    {
        auto pinboard = std::make_shared<Pinboard>(name, 1, 0);
        context().insert(pinboard);
        context().save();
        return pinboard;
    }

    static QString thanksURL() { return WelcomeClips::links().first().url; }
};

TEST_F(WelcomeClipsTest, EmptyHistoryGetsThePinboardWithFiveLinksOnce)
{
    const QDateTime start = clock.now();
    clock.advance(5000);
    addClip(QStringLiteral("copied since launch")); // does not make the history used
    welcome().seedIfNeeded(start);

    const auto pinboards = context().fetch<Pinboard>();
    ASSERT_EQ(pinboards.size(), 1);
    EXPECT_EQ(pinboards[0]->name(), QStringLiteral("TamoCove"));
    EXPECT_EQ(pinboards[0]->colorIndex(), 6);
    EXPECT_EQ(pinboards[0]->order(), 0);

    QList<ClipItemPtr> pinned;
    for (const ClipItemPtr &clip : clips()) {
        if (clip->pinboardID() == pinboards[0]->id())
            pinned.append(clip);
    }
    ASSERT_EQ(pinned.size(), 5);
    QStringList titles;
    for (const ClipItemPtr &clip : pinned) {
        titles.append(clip->title().value_or(QString()));
        EXPECT_EQ(clip->kindRaw(), QStringLiteral("link"));
        EXPECT_EQ(clip->sourceAppName(), QStringLiteral("TamoCove"));
        EXPECT_EQ(clip->keywords().mid(0, 3), (QStringList{"tamocove", "tamo", "vostra"}));
    }
    // By creation: the donation card is the newest; by pin: the thanks card.
    EXPECT_EQ(titles, (QStringList{"Say Thanks on LinkedIn", "TamoCove Website", "TamoCove Help Guide",
                                   "TamoCove Support", "Buy Me a Coffee"}));
    for (qsizetype i = 1; i < pinned.size(); ++i)
        EXPECT_EQ(pinned[i]->pinnedAt()->secsTo(*pinned[0]->pinnedAt()), i);
    EXPECT_TRUE(defaults.boolValue(keys::welcomeClipsChecked));
    EXPECT_TRUE(defaults.boolValue(keys::linkedInCardChecked));

    welcome().addThanksCardIfNeeded();
    welcome().seedIfNeeded(clock.now());
    EXPECT_EQ(clips().size(), 6);
    EXPECT_EQ(context().fetchCount<Pinboard>(), 1);
}

TEST_F(WelcomeClipsTest, UsedHistoryIsLeftAloneAndGetsTheThanksCard)
{
    const struct {
        const char *name;
        bool olderClip;
        bool emptyPinboard;
    } cases[] = {{"older clip", true, false}, {"empty pinboard", false, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform fresh;
        AppModel model(fresh.services(), fresh.storeDir.path());
        ModelContext &context = model.container().mainContext();
        if (c.olderClip) {
            model.clips().makeClip(ClipDraft::fromText(QStringLiteral("old")));
            context.save();
        }
        if (c.emptyPinboard) {
            context.insert(std::make_shared<Pinboard>(QStringLiteral("Work"), 1, 0));
            context.save();
        }
        fresh.clock.advance(1000);
        WelcomeClips welcome(context, model.clips(), fresh.defaults, fresh.clock);
        welcome.seedIfNeeded(fresh.clock.now());
        EXPECT_TRUE(fresh.defaults.boolValue(keys::welcomeClipsChecked));
        EXPECT_FALSE(fresh.defaults.boolValue(keys::linkedInCardChecked));
        EXPECT_EQ(context.fetchCount<Pinboard>(), c.emptyPinboard ? 1 : 0);

        welcome.addThanksCardIfNeeded();
        const auto cards = context.fetch<ClipItem>(
            FetchDescriptor().where(ClipItem::TextColumn, FetchDescriptor::Compare::equal, thanksURL()));
        ASSERT_EQ(cards.size(), 1);
        EXPECT_FALSE(cards[0]->pinboardID().has_value());
        EXPECT_TRUE(fresh.defaults.boolValue(keys::linkedInCardChecked));
    }
}

TEST_F(WelcomeClipsTest, ThanksCardJoinsAWelcomePinboardOfAnyFormerName)
{
    const struct {
        const char *name;
        const char *pinboard;
        bool copied;
        const char *ownTitle;
        bool onOtherPinboard;
        bool expectPinnedToWelcome;
        const char *expectTitle;
    } cases[] = {
        {"new card on a former name's pinboard", "Vostra", false, nullptr, false, true, "Say Thanks on LinkedIn"},
        {"copied link gets pinned and titled", "Tamo", true, nullptr, false, true, "Say Thanks on LinkedIn"},
        {"copied link keeps its own title", "TamoCove", true, "My thanks", false, true, "My thanks"},
        {"copied link on another pinboard stays", "TamoCove", true, nullptr, true, false, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform fresh;
        AppModel model(fresh.services(), fresh.storeDir.path());
        ModelContext &context = model.container().mainContext();
        auto welcomeBoard = std::make_shared<Pinboard>(QString::fromUtf8(c.pinboard), 6, 0);
        auto otherBoard = std::make_shared<Pinboard>(QStringLiteral("Work"), 1, 1);
        context.insert(welcomeBoard);
        context.insert(otherBoard);
        if (c.copied) {
            ClipItemPtr clip = model.clips().makeClip(ClipDraft::fromText(thanksURL()));
            if (c.ownTitle)
                clip->setTitle(QString::fromUtf8(c.ownTitle));
            if (c.onOtherPinboard)
                clip->setPin(otherBoard->id(), fresh.clock.now());
        }
        context.save();
        fresh.defaults.setValue(keys::welcomeClipsChecked, true);

        WelcomeClips(context, model.clips(), fresh.defaults, fresh.clock).addThanksCardIfNeeded();
        const QString hash = makeContentHash(ClipKind::link, thanksURL(), std::nullopt, {});
        const auto cards = context.fetch<ClipItem>(
            FetchDescriptor().where(ClipItem::ContentHashColumn, FetchDescriptor::Compare::equal, hash));
        ASSERT_EQ(cards.size(), 1);
        EXPECT_EQ(cards[0]->pinboardID() == welcomeBoard->id(), c.expectPinnedToWelcome);
        if (c.expectPinnedToWelcome) {
            EXPECT_EQ(cards[0]->title().value_or(QString()), QString::fromUtf8(c.expectTitle));
        }
        if (c.onOtherPinboard) {
            EXPECT_EQ(cards[0]->pinboardID(), otherBoard->id());
        }
    }
}

} // namespace
} // namespace tamo::testing
