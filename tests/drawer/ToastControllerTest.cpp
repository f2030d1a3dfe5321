#include "QtPrinters.h"
#include "support/FakeScreens.h"
#include "support/TempDir.h"

#include "drawer/NoticeCard.h"
#include "drawer/ToastController.h"
#include "model/DefaultSettings.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLayout>
#include <QTest>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

constexpr TimeScale fastTime{0.1}; // a 2.5 s notice stays 250 ms

TEST(Notice, NoneShowsNothingAndIconOnlyWinsTheTime)
{
    const QString message = QStringLiteral("Clip is ready");
    EXPECT_EQ(Notice::paste(PasteNotice::none, message), std::nullopt);
    EXPECT_EQ((Notice{QString(), message, true, true, true}.displayTimeMs()), 1200);
}

class ToastControllerTest : public ::testing::Test
{
protected:
    explicit ToastControllerTest(TimeScale scale = fastTime) : toast(defaults, screens, scale)
    {
        registerDefaultSettings(defaults);
        screens.setScreens({primary, secondary});
        screens.setPointerLocation(primary.frame.center());
    }

    static ScreenInfo screen(const QRectF &frame, const QRectF &visibleFrame)
    {
        ScreenInfo info;
        info.frame = frame;
        info.visibleFrame = visibleFrame;
        return info;
    }

    QWidget &window() { return toast.panel(); }
    const NoticeCard &card() { return toast.card(); }
    QRectF frame() { return screens.geometry().fromQt(QRectF(window().geometry())); }

    bool waitUntilShown() { return QTest::qWaitFor([&] { return window().isVisible(); }); }
    // Shown, with the given message, and faded in.
    bool waitUntilOpaque(const QString &message)
    {
        return QTest::qWaitFor([&] {
            return window().isVisible() && card().messageLabel()->text() == message
                && window().windowOpacity() == 1.0;
        });
    }
    bool waitUntilHidden(int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return window().isHidden(); }, timeoutMs);
    }

    const ScreenInfo primary = screen({0, 0, 1440, 900}, {0, 0, 1440, 875});
    const ScreenInfo secondary = screen({1440, -180, 1920, 1080}, {1440, -180, 1920, 1060});
    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    FakeScreens screens;
    ToastController toast;
};

// At the real pace: a notice shown for a tenth of its time can come and go
// while a loaded machine keeps the test from looking.
class ToastAtItsPaceTest : public ToastControllerTest
{
protected:
    ToastAtItsPaceTest() : ToastControllerTest(TimeScale{}) {}
};

TEST_F(ToastControllerTest, CardSitsAtTheTopCentreOfThePointersScreen)
{
    toast.showReadyToast(QStringLiteral("Clip is ready"));
    ASSERT_TRUE(waitUntilShown());
    QRectF shown = frame();
    EXPECT_NEAR(shown.center().x(), 720, 0.5); // an odd width rounds by half a point
    EXPECT_EQ(shown.y() + shown.height(), 875 - 24);
    EXPECT_EQ(shown.size(), QSizeF(card().sizeHint()));

    screens.setPointerLocation(secondary.frame.center());
    toast.showToast(QStringLiteral("A much longer message\nover two lines"), QStringLiteral("pin.circle.fill"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame().x() > 1440; }));
    const QRectF longer = frame();
    EXPECT_NEAR(longer.center().x(), 1440 + 960, 0.5); // an odd width rounds by half a point
    EXPECT_EQ(longer.y() + longer.height(), -180 + 1060 - 24);
    EXPECT_GT(longer.height(), shown.height() - card().shortcutRow()->sizeHint().height());
}

TEST_F(ToastControllerTest, EachKindShowsItsParts)
{
    toast.showPasteNotice(QStringLiteral("Clip is ready"));
    ASSERT_TRUE(waitUntilShown());
    EXPECT_FALSE(card().messageLabel()->isHidden());
    EXPECT_FALSE(card().shortcutRow()->isHidden());
    EXPECT_FALSE(card().hint()->isHidden());

    toast.showReadyToast(QStringLiteral("3 clips are ready"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return card().hint()->isHidden(); }));
    EXPECT_FALSE(card().shortcutRow()->isHidden());
    EXPECT_EQ(card().messageLabel()->text(), QStringLiteral("3 clips are ready"));

    defaults.setValue(keys::pasteNotice, QStringLiteral("icon"));
    toast.showPasteNotice(QStringLiteral("Clip is ready"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return card().messageLabel()->isHidden(); }));
    EXPECT_TRUE(card().shortcutRow()->isHidden());
    EXPECT_TRUE(card().hint()->isHidden());
    EXPECT_EQ(card().symbolView()->accessibleName(), QStringLiteral("Clip is ready"));
}

TEST_F(ToastAtItsPaceTest, FadesOutAfterItsTimeAndThenIsHiddenNotJustTransparent)
{
    defaults.setValue(keys::pasteNotice, QStringLiteral("icon"));
    QElapsedTimer clock;
    clock.start();
    toast.showPasteNotice(QStringLiteral("Clip is ready"));
    ASSERT_TRUE(waitUntilOpaque(QStringLiteral("Clip is ready")));
    ASSERT_TRUE(waitUntilHidden());
    EXPECT_GE(clock.elapsed(), 1200 + 200);
    EXPECT_EQ(window().windowOpacity(), 0.0);
}

TEST_F(ToastControllerTest, NewNoticeRestartsTheTimeAndTheOldFadeNeverRuns)
{
    toast.showReadyToast(QStringLiteral("Clip is ready"));
    ASSERT_TRUE(waitUntilOpaque(QStringLiteral("Clip is ready")));
    QTest::qWait(fastTime(1000));

    QElapsedTimer sinceSecond;
    sinceSecond.start();
    toast.showReadyToast(QStringLiteral("2 clips are ready"));
    ASSERT_TRUE(waitUntilOpaque(QStringLiteral("2 clips are ready")));
    // Watch every turn: the first notice's fade would start 1.5 s after the second.
    bool faded = false;
    while (sinceSecond.elapsed() < fastTime(2500) - 20) {
        QTest::qWait(5);
        faded = faded || window().isHidden() || window().windowOpacity() < 1.0;
    }
    EXPECT_FALSE(faded);
    ASSERT_TRUE(waitUntilHidden());
    EXPECT_GE(sinceSecond.elapsed(), fastTime(2500));
}

TEST_F(ToastControllerTest, PasteNoticeSetToNoneLeavesTheShownNoticeAlone)
{
    toast.showToast(QStringLiteral("Pinned to Work"), QStringLiteral("pin.circle.fill"));
    ASSERT_TRUE(waitUntilOpaque(QStringLiteral("Pinned to Work")));
    defaults.setValue(keys::pasteNotice, QStringLiteral("none"));
    QElapsedTimer clock;
    clock.start();
    toast.showPasteNotice(QStringLiteral("Clip is ready"));
    QTest::qWait(5);
    EXPECT_EQ(card().messageLabel()->text(), QStringLiteral("Pinned to Work"));
    ASSERT_TRUE(waitUntilHidden()); // on its own schedule, not restarted
    EXPECT_LT(clock.elapsed(), fastTime(1500 + 200) + 100);

    toast.showPasteNotice(QStringLiteral("Clip is ready"));
    QTest::qWait(20);
    EXPECT_TRUE(window().isHidden());
}

TEST_F(ToastControllerTest, WithoutAScreenTheShownNoticeStillGoes)
{
    toast.showReadyToast(QStringLiteral("Clip is ready"));
    ASSERT_TRUE(waitUntilOpaque(QStringLiteral("Clip is ready")));
    screens.setScreens({});
    toast.showToast(QStringLiteral("Pinned to Work"), QStringLiteral("pin.circle.fill"));
    ASSERT_TRUE(waitUntilHidden(1000));
    EXPECT_EQ(card().messageLabel()->text(), QStringLiteral("Clip is ready"));
}

} // namespace
