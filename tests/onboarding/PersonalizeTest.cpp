#include "app/AppModelFixture.h"

#include "cards/ThumbnailCache.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "onboarding/FeatureTour.h"
#include "onboarding/OnboardingWindow.h"
#include "onboarding/OnboardingStyle.h"
#include "onboarding/PageTransition.h"
#include "onboarding/Personalization.h"
#include "settings/CardStyleOption.h"
#include "settings/ScaleControl.h"
#include "support/DesktopWords.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace tamo::testing {
namespace {

class PersonalizeTest : public AppModelFixture
{
protected:
    PersonalizeTest() { startedModel(); }

    PersonalizeView &view() { return *static_cast<PersonalizeView *>(personalization.window()->content()); }
    QAbstractButton *button(const QString &text)
    {
        for (QAbstractButton *b : personalization.window()->findChildren<QAbstractButton *>()) {
            if (b->text() == text && b->isVisibleTo(personalization.window()))
                return b;
        }
        return nullptr;
    }
    QString stepLabel()
    {
        for (QLabel *label : personalization.window()->findChildren<QLabel *>()) {
            if (label->text().startsWith(u"Make TamoCove Yours · "))
                return label->text();
        }
        return {};
    }

    ThumbnailCache thumbnails;
    Personalization personalization{{model(), defaults, thumbnails}};
};

TEST_F(PersonalizeTest, EveryStepUsesThisDesktopsWords)
{
    for (const char *choice : {"TamoCove Panel", "Tray Clips"}) {
        personalization.present(); // from the first step whenever it was closed
        QAbstractButton *opens = button(QString::fromUtf8(choice));
        ASSERT_TRUE(opens) << choice;
        opens->click();
        for (int step = 0; step < 4; ++step) {
            const QStringList foreign = foreignWords(textsIn(personalization.window()));
            EXPECT_TRUE(foreign.isEmpty()) << choice << " step " << step << ": " << foreign.join(u" | ").toStdString();
            QAbstractButton *next = button(QStringLiteral("Next"));
            if (!next)
                break;
            next->click();
        }
        personalization.window()->close();
    }
}

// The page fades and slides, and the page mark glides to its page rather than jumping.
TEST_F(PersonalizeTest, AStepFadesTheLastPageOutAndLeavesNothingBehind)
{
    personalization.present();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(personalization.window()));
    auto *dots = personalization.window()->findChild<PageDots *>();
    ASSERT_TRUE(dots);
    for (const auto &[go, page] : {std::pair{"Next", 1.0}, std::pair{"Back", 0.0}}) {
        SCOPED_TRACE(go);
        const double from = dots->position();
        button(QString::fromUtf8(go))->click();
        const QList<PageTransition *> fading = personalization.window()->findChildren<PageTransition *>();
        ASSERT_EQ(fading.size(), 1);
        EXPECT_TRUE(fading.first()->testAttribute(Qt::WA_TransparentForMouseEvents));
        EXPECT_DOUBLE_EQ(dots->position(), from) << "the mark jumped";
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return personalization.window()->findChildren<PageTransition *>().isEmpty(); }, 5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return dots->position() == page; }, 5000)) << "the mark never arrived";
    }
}

// The pages once ran from the window's left edge to 6 px short of its right.
TEST_F(PersonalizeTest, ThePagesKeepTheirMarginsFromTheWindowEdges)
{
    personalization.present();
    QWidget *window = personalization.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    for (const char *choice : {"TamoCove Panel", "Tray Clips"}) {
        SCOPED_TRACE(choice);
        QAbstractButton *card = button(QString::fromUtf8(choice));
        ASSERT_TRUE(card);
        const QRect onWindow(card->mapTo(window, QPoint(0, 0)), card->size());
        EXPECT_GE(onWindow.left(), 36);
        EXPECT_LE(onWindow.right(), window->width() - 36);
    }
}

TEST_F(PersonalizeTest, PagesFollowWhatTheShortcutOpens)
{
    using Step = PersonalizeView::Step;
    personalization.present();
    EXPECT_TRUE(defaults.boolValue(keys::personalizeShown));
    EXPECT_EQ(button(QStringLiteral("Back")), nullptr);

    button(QStringLiteral("Tray Clips"))->click();
    EXPECT_EQ(defaults.string(keys::shortcutTarget), QStringLiteral("menuBar"));
    EXPECT_TRUE(defaults.boolValue(keys::menuBarRecentClips) && defaults.boolValue(keys::showMenuBarIcon));
    button(QStringLiteral("Next"))->click();
    EXPECT_EQ(view().step(), Step::menuBarLayout);
    EXPECT_EQ(stepLabel(), QStringLiteral("Make TamoCove Yours · Step 1 of 3"));
    button(QStringLiteral("Horizontal"))->click();
    EXPECT_EQ(defaults.string(keys::menuBarLayout), QStringLiteral("horizontal"));

    // Switched to the drawer elsewhere: the layout page is in no list, so it stays.
    defaults.setValue(keys::shortcutTarget, rawValue(ShortcutTarget::drawer));
    view().move(+1);
    view().move(-1);
    EXPECT_EQ(view().step(), Step::menuBarLayout);
    EXPECT_EQ(PersonalizeView::steps(ShortcutTarget::drawer), (QList<Step>{Step::opens, Step::style, Step::size}));
}

TEST_F(PersonalizeTest, PanelChoiceGoesStraightToTheStyleAndDoneCloses)
{
    defaults.setValue(keys::menuBarRecentClips, false);
    int closed = 0;
    personalization.present([&closed] { ++closed; });
    button(QStringLiteral("TamoCove Panel"))->click();
    EXPECT_FALSE(defaults.boolValue(keys::menuBarRecentClips)); // left as it was
    QTest::keyClick(&view(), Qt::Key_Return);
    EXPECT_EQ(view().step(), PersonalizeView::Step::style);
    EXPECT_EQ(stepLabel(), QStringLiteral("Make TamoCove Yours · Step 2 of 3"));
    QTest::keyClick(&view(), Qt::Key_Return);
    EXPECT_EQ(stepLabel(), QStringLiteral("Make TamoCove Yours · Step 3 of 3"));
    ASSERT_NE(button(QStringLiteral("Done")), nullptr);
    QTest::keyClick(&view(), Qt::Key_Return);
    EXPECT_FALSE(personalization.window()->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(closed, 1);

    personalization.present(); // from the settings: no action
    EXPECT_EQ(view().step(), PersonalizeView::Step::opens);
    personalization.window()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(closed, 1);
}

TEST_F(PersonalizeTest, StyleAndSizePagesWorkWithTheSettingsOwnControls)
{
    defaults.setValue(keys::cardStyle, rawValue(CardStyle::glass));
    personalization.present();
    view().move(+1);
    const QList<CardStyleOption *> options = personalization.window()->findChildren<CardStyleOption *>();
    ASSERT_EQ(options.size(), 2);
    CardStyleOption *classic = options[0]->style() == CardStyle::classic ? options[0] : options[1];
    classic->click();
    EXPECT_EQ(defaults.string(keys::cardStyle), QStringLiteral("classic"));
    defaults.setValue(keys::cardStyle, rawValue(CardStyle::glass)); // from the settings window
    EXPECT_FALSE(classic->isChecked());

    view().move(+1);
    QCoreApplication::processEvents();
    const QList<ScaleControl *> sizes = personalization.window()->findChildren<ScaleControl *>();
    ASSERT_EQ(sizes.size(), 2);
    for (ScaleControl *size : sizes)
        EXPECT_FALSE(size->slider()->accessibleName().isEmpty());
    sizes[0]->slider()->setValue(sizes[0]->slider()->maximum());
    EXPECT_DOUBLE_EQ(defaults.doubleValue(keys::cardScale), 1.5);
}

TEST_F(PersonalizeTest, BackKeepsItsGapFromNextHereAndInTheTour)
{
    FeatureTour tour{{model(), defaults}};
    personalization.present();
    view().move(+1);
    tour.show();
    static_cast<TourView *>(tour.window()->content())->setIndex(1);
    const struct {
        const char *name;
        QWidget *window;
        double scale;
    } windows[] = {{"personalisation", personalization.window(), 1.0}, {"tour", tour.window(), TourView::scale}};
    for (const auto &shown : windows) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown.window)) << shown.name;
        QRect back;
        QRect next;
        for (QAbstractButton *b : shown.window->findChildren<QAbstractButton *>()) {
            if (b->text() == QStringLiteral("Back"))
                back = b->geometry();
            if (b->text() == QStringLiteral("Next"))
                next = b->geometry();
        }
        ASSERT_TRUE(back.isValid() && next.isValid()) << shown.name;
        EXPECT_GE(next.left() - back.right() - 1, qRound(8 * shown.scale)) << shown.name;
    }
}

TEST_F(PersonalizeTest, AnOpenFromTheSettingsKeepsTheFirstRunAction)
{
    QStringList ran;
    personalization.present([&ran] { ran << QStringLiteral("tour"); });
    personalization.present(); // "Personalize…" while it is up
    personalization.window()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, QStringList{"tour"});
}

// The launch rule of the core, driven by a real tour gate and recorded opens.
TEST(OnboardingLaunchRule, PersonalisationFirstThenTheTourOncePerVersion)
{
    struct Recorder : RecordingExtensions
    {
        Defaults *defaults = nullptr;
        std::function<void()> pendingClose;
        bool whatsNewShouldShow() const override { return FeatureTour::shouldShow(*defaults); }
        void presentPersonalize(std::function<void()> onClose) override
        {
            note(QStringLiteral("personalize"));
            pendingClose = std::move(onClose);
        }
    };
    const struct {
        bool personalizeShown;
        const char *tourSeen;
        bool existingInstall;
        const char *opens;        // in order, after 2 s and after personalisation closes
        bool tourRecordedAtOnce;  // skipped for this version without being shown
    } cases[] = {
        {false, nullptr, false, "personalize,tour.show", false},
        {false, nullptr, true, "personalize,tour.show", false},
        {false, "1.74", true, "personalize", false},
        {true, nullptr, false, "", true},
        {true, nullptr, true, "tour.show", false},
        {true, "1.73", true, "tour.show", false},
        {true, "1.74", true, "", false},
    };
    std::vector<std::unique_ptr<FakePlatform>> platforms;
    std::vector<std::unique_ptr<Recorder>> recorders;
    std::vector<std::unique_ptr<AppModel>> models;
    for (const auto &c : cases) {
        auto platform = std::make_unique<FakePlatform>();
        if (c.existingInstall)
            AppModel(platform->services(), platform->storeDir.path()); // leaves the store behind
        if (c.personalizeShown)
            platform->defaults.setValue(keys::personalizeShown, true);
        if (c.tourSeen)
            platform->defaults.setValue(keys::whatsNewShown, QString::fromUtf8(c.tourSeen));
        auto recorder = std::make_unique<Recorder>();
        recorder->defaults = &platform->defaults;
        AppExtensions extensions = platform->ext.extensions();
        extensions.onboarding = recorder.get();
        auto model = std::make_unique<AppModel>(platform->services(), platform->storeDir.path(), extensions);
        model->start();
        EXPECT_EQ(platform->defaults.string(keys::whatsNewShown) == QStringLiteral("1.74"),
                  c.tourRecordedAtOnce || (c.tourSeen && QByteArray(c.tourSeen) == "1.74"));
        platforms.push_back(std::move(platform));
        recorders.push_back(std::move(recorder));
        models.push_back(std::move(model));
    }
    // Every launch's 2 s run at once; the launches that open something say when.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        for (size_t i = 0; i < std::size(cases); ++i) {
            const QStringList &log = recorders[i]->log;
            const bool opened = log.contains(QStringLiteral("personalize")) || log.contains(QStringLiteral("tour.show"));
            if (QByteArray(cases[i].opens).size() > 0 && !opened)
                return false;
        }
        return true;
    }, 10000));
    QTest::qWait(50);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        Recorder &recorder = *recorders[i];
        if (recorder.pendingClose)
            recorder.pendingClose();
        QStringList opened;
        for (const QString &entry : recorder.log) {
            if (entry == QStringLiteral("personalize") || entry == QStringLiteral("tour.show"))
                opened << entry;
        }
        EXPECT_EQ(opened.join(u','), QString::fromUtf8(cases[i].opens));
    }
}

} // namespace
} // namespace tamo::testing
