#include "SwitcherFixture.h"
#include "app/AppHooks.h"
#include "app/GlobalHotKeyRegistry.h"
#include "bonus/WindowSizer.h"
#include "cards/ScreenCardSizes.h"
#include "model/SettingsKeys.h"
#include "support/FakeGlobalHotKeys.h"

#include <QTest>

using namespace tamo;
using namespace tamo::testing;

namespace {

class NoticeDrawer : public DrawerPanel
{
public:
    void showToast(const QString &message, const QString &symbol) override
    {
        notices.append(message);
        symbols.append(symbol);
    }
    QStringList notices;
    QStringList symbols;
};

ScreenInfo screenOf(const QRectF &frame, const QString &name, quint32 serial, qreal menuBar = 0)
{
    ScreenInfo screen;
    screen.frame = frame;
    screen.visibleFrame = frame.adjusted(0, 0, 0, -menuBar);
    screen.name = name;
    screen.serial = serial;
    return screen;
}

class SizerTest : public SwitcherFixture
{
protected:
    SizerTest()
    {
        screens.setScreens({screenOf({0, 0, 1440, 900}, QStringLiteral("Built-in"), 1, 24)});
        addApp(10, QStringLiteral("Editor"), {100});
        server.front = 10;
        server.focused.insert(10, 100);
    }

    QString lastNotice()
    {
        if (!QTest::qWaitFor([&] { return !drawer.notices.isEmpty(); }, WindowSizer::settleMs * 3))
            return QString();
        return drawer.notices.value(drawer.notices.size() - 1);
    }

    NoticeDrawer drawer;
    WindowSizer sizer{{&server, &accessibility, &defaults, &screens, &drawer}, ownPid};
};

TEST_F(SizerTest, FittedSizeIsCentredSavedAndApplied)
{
    sizer.sizeFrontmostWindow();
    EXPECT_EQ(lastNotice(), QStringLiteral("Window resized"));
    EXPECT_EQ(drawer.symbols.last(), QStringLiteral("macwindow"));
    // 1440 − 360 beats half of 1440; the full visible height; centred across the screen.
    EXPECT_EQ(server.find(100)->frame, QRectF(180, 0, 1080, 876));
    const QList<WindowSizer::Screen> list = sizer.screens();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.first().windowSize, QSizeF(1080, 876));
    EXPECT_FALSE(list.first().isCaptured);

    screens.setScreens({screenOf({0, 0, 600, 400}, QStringLiteral("Small"), 2)});
    EXPECT_EQ(sizer.sizeForScreen(screens.screens().first()).width(), 300) << "half beats 600 − 360";
}

TEST_F(SizerTest, EachRefusalHasItsNotice)
{
    struct Case
    {
        const char *notice;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"Allow TamoCove in Accessibility", [&] { accessibility.trusted = false; }},
        {"No window to size", [&] { server.front = 0; }},
        {"No window to size", [&] { server.front = ownPid; }},
        {"No window to size", [&] { server.focused.clear(); }},
        {"Exit full screen first", [&] { server.find(100)->fullScreen = true; }},
        {"Window already in place", [&] { server.find(100)->frame = QRectF(181.5, 1, 1078.5, 874); }},
    };
    for (const Case &c : cases) {
        accessibility.trusted = true;
        server.front = 10;
        server.focused.insert(10, 100);
        server.find(100)->fullScreen = false;
        server.find(100)->frame = QRectF(10, 10, 300, 300);
        server.frameRequests.clear();
        drawer.notices.clear();
        c.arrange();
        sizer.sizeFrontmostWindow();
        EXPECT_EQ(lastNotice(), QLatin1String(c.notice));
        EXPECT_TRUE(server.frameRequests.isEmpty()) << c.notice;
    }
}

TEST_F(SizerTest, AWindowThatKeepsItsFrameCannotBeResized)
{
    server.find(100)->resizable = false;
    sizer.sizeFrontmostWindow();
    EXPECT_EQ(lastNotice(), QStringLiteral("This window can't be resized"));
    EXPECT_EQ(server.frameRequests.size(), 1);
}

TEST_F(SizerTest, ASavedSizeLargerThanTheScreenIsClampedButKept)
{
    const QString id = ScreenCardSizes::screenID(screens.screens().first());
    defaults.setValue(keys::windowSizes,
                      QVariantMap{{id, QVariantMap{{"name", "Built-in"}, {"windowWidth", 5000}, {"windowHeight", 300.0}}}});
    EXPECT_EQ(sizer.targetFrame(screens.screens().first()), QRectF(0, 288, 1440, 300));
    EXPECT_EQ(sizer.screens().first().windowSize, QSizeF(5000, 300));
}

// Centred across the screen, but never under a panel beside it.
TEST_F(SizerTest, TheTargetFrameStaysInTheVisibleArea)
{
    struct Row
    {
        const char *name;
        QRectF visible;
        qreal savedWidth;
        QRectF expected;
    };
    const Row rows[] = {
        {"no panel", {0, 0, 1440, 900}, 1000, {220, 0, 1000, 900}},
        {"a right panel covers 30 px", {0, 0, 1410, 900}, 1400, {10, 0, 1400, 900}},
        {"a left panel covers 30 px", {30, 0, 1410, 900}, 1400, {30, 0, 1400, 900}},
        {"wider than the visible area", {0, 0, 1410, 900}, 2000, {0, 0, 1410, 900}},
    };
    for (const Row &row : rows) {
        ScreenInfo screen = screenOf({0, 0, 1440, 900}, QStringLiteral("Built-in"), 1);
        screen.visibleFrame = row.visible;
        defaults.setValue(keys::windowSizes,
                          QVariantMap{{ScreenCardSizes::screenID(screen),
                                       QVariantMap{{"name", "Built-in"}, {"windowWidth", row.savedWidth}, {"windowHeight", 900}}}});
        EXPECT_EQ(sizer.targetFrame(screen), row.expected) << row.name;
    }
}

TEST_F(SizerTest, AMalformedEntryIsIgnoredAloneAndKept)
{
    defaults.setValue(keys::windowSizes,
                      QVariantMap{{"broken", QStringLiteral("not a dictionary")},
                                  {"other", QVariantMap{{"name", "Studio"}, {"width", 2560}, {"height", 1440},
                                                        {"windowWidth", 1200}, {"windowHeight", 900},
                                                        {"captured", true}}}});
    sizer.sizeFrontmostWindow();
    EXPECT_EQ(lastNotice(), QStringLiteral("Window resized"));
    const QVariantMap stored = defaults.dictionary(keys::windowSizes);
    EXPECT_EQ(stored.value("broken").toString(), QStringLiteral("not a dictionary"));
    EXPECT_EQ(stored.value("other").toMap().value("windowWidth").toInt(), 1200);
    EXPECT_EQ(stored.size(), 3);
    EXPECT_EQ(sizer.capturedCount(), 1);
}

TEST_F(SizerTest, SavedOnlyScreensFollowConnectedOnesSortedByNameAndSize)
{
    auto entry = [](const char *name, int width, bool captured) {
        return QVariantMap{{"name", name}, {"width", width}, {"height", 1000}, {"windowWidth", 800},
                           {"windowHeight", 600}, {"captured", captured}};
    };
    defaults.setValue(keys::windowSizes, QVariantMap{{"a", entry("Studio", 2560, true)},
                                                     {"b", entry("Studio", 1512, false)},
                                                     {"c", QVariantMap{{"windowWidth", 1}}}});
    const QList<WindowSizer::Screen> list = sizer.screens();
    ASSERT_EQ(list.size(), 3) << "an entry without a name is not listed";
    EXPECT_TRUE(list[0].isConnected);
    EXPECT_EQ(list[1].width, 1512);
    EXPECT_EQ(list[2].width, 2560);
    EXPECT_EQ(sizer.capturedCount(), 1);

    sizer.forgetSize(QStringLiteral("a"));
    EXPECT_EQ(sizer.capturedCount(), 0);
}

TEST_F(SizerTest, CaptureTakesTheFrontWindowOnThatScreen)
{
    const QString id = ScreenCardSizes::screenID(screens.screens().first());
    server.find(100)->frame = QRectF(50, 50, 700, 500);
    EXPECT_EQ(sizer.captureCurrentSize(id), QSizeF(700, 500));
    EXPECT_TRUE(sizer.screens().first().isCaptured);
    EXPECT_FALSE(sizer.captureCurrentSize(QStringLiteral("elsewhere")));
    accessibility.trusted = false;
    EXPECT_FALSE(sizer.captureCurrentSize(id));
}

TEST_F(SizerTest, AWindowOffEveryScreenGoesToTheOneItOverlapsMost)
{
    screens.setScreens({screenOf({0, 0, 1000, 800}, QStringLiteral("Left"), 1),
                        screenOf({1000, 0, 1000, 800}, QStringLiteral("Right"), 2)});
    EXPECT_EQ(sizer.screenForWindow({900, 760, 400, 100})->name, QStringLiteral("Right"));
    EXPECT_EQ(sizer.screenForWindow({800, 760, 400, 100})->name, QStringLiteral("Left")) << "a tie goes to the first";
}

TEST_F(SizerTest, EnablingRegistersTheHotKeyAndFollowsOtherApps)
{
    FakeGlobalHotKeys systemHotKeys;
    GlobalHotKeyRegistry hotKeys(systemHotKeys, defaults);
    sizer.setEnabled(true, hotKeys);
    EXPECT_TRUE(hotKeys.isRegistered(WindowSizerSlot));
    systemHotKeys.press(WindowSizerSlot);
    EXPECT_EQ(lastNotice(), QStringLiteral("Window resized"));

    sizer.setEnabled(false, hotKeys);
    EXPECT_FALSE(hotKeys.isRegistered(WindowSizerSlot));
}

} // namespace
