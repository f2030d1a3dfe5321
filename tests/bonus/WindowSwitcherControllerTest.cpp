#include "SwitcherFixture.h"
#include "bonus/SwitcherPanel.h"
#include "bonus/WindowSwitcherController.h"
#include "bonus/WindowSwitcherRows.h"
#include "bonus/WindowSwitcherState.h"
#include "bonus/WindowSwitcherView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QListView>
#include <QTest>

using namespace tamo;
using namespace tamo::testing;

namespace {

class ControllerTest : public SwitcherFixture
{
protected:
    ControllerTest()
    {
        addApp(10, QStringLiteral("Editor"), {100, 101});
        addApp(20, QStringLiteral("Viewer"), {200});
    }

    WindowSwitcherController::Services services()
    {
        return {&catalog, &recent, &server, &accessibility, &defaults, &screens, nullptr, nullptr};
    }

    bool press(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        return controller.handleKey(event);
    }

    WindowSwitcherController controller{services()};
};

TEST_F(ControllerTest, ShowsCentredOnTheScreenUnderThePointerAndSizedToItsRows)
{
    ScreenInfo left = FakeScreens::oneScreen({1000, 800});
    ScreenInfo right = FakeScreens::oneScreen({1600, 900});
    right.frame.moveLeft(1000);
    right.visibleFrame = right.frame.adjusted(0, 0, 0, -40);
    screens.setScreens({left, right});
    screens.setPointerLocation({1500, 300});

    controller.show();
    ASSERT_TRUE(controller.isVisible());
    const QRectF frame = screens.geometry().fromQt(QRectF(controller.panel()->geometry()));
    EXPECT_NEAR(frame.center().x(), right.visibleFrame.center().x(), 1);
    EXPECT_NEAR(frame.center().y(), right.visibleFrame.center().y(), 1);
    EXPECT_EQ(frame.height(), 3 * 70 + 2 * 2 + 56 + 48);
    EXPECT_EQ(controller.state().rows().size(), 3);
}

TEST_F(ControllerTest, ShowsNothingWithoutRowsOrTrust)
{
    accessibility.trusted = false;
    controller.show();
    EXPECT_FALSE(controller.isVisible());

    accessibility.trusted = true;
    server.windows.clear();
    controller.show();
    EXPECT_FALSE(controller.isVisible());
    EXPECT_TRUE(controller.state().rows().isEmpty());
}

TEST_F(ControllerTest, KeysMoveWrapCloseAndActivate)
{
    controller.show();
    ASSERT_TRUE(controller.isVisible());
    EXPECT_TRUE(press(Qt::Key_Up));
    EXPECT_EQ(controller.state().selection(), 2) << "up from the first row wraps to the last";
    EXPECT_TRUE(press(Qt::Key_Right));
    EXPECT_EQ(controller.state().selection(), 0) << "right moves down while browser tabs are off";
    EXPECT_TRUE(press(Qt::Key_Left));
    EXPECT_EQ(controller.state().selection(), 2);
    EXPECT_TRUE(press(Qt::Key_Down));

    for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier),
                                            Qt::KeyboardModifiers(Qt::AltModifier | Qt::ControlModifier)})
        EXPECT_FALSE(press(Qt::Key_W, modifiers)) << "only Ctrl+W closes";
    EXPECT_FALSE(press(Qt::Key_A));
    ASSERT_TRUE(controller.isVisible());

    const WindowSwitcherRow chosen = *controller.state().selectedRow();
    EXPECT_TRUE(press(Qt::Key_Return));
    EXPECT_FALSE(controller.isVisible());
    EXPECT_TRUE(controller.state().rows().isEmpty());
    EXPECT_EQ(server.activated, QList<quint32>{chosen.windowNumber});
    EXPECT_EQ(recent.windowKeys().first(), chosen.id);
    EXPECT_EQ(recent.pids().first(), chosen.app.pid);

    for (auto close : {std::pair{Qt::Key_Escape, Qt::KeyboardModifiers()}, {Qt::Key_W, Qt::ControlModifier}}) {
        controller.show();
        EXPECT_TRUE(press(close.first, close.second));
        EXPECT_FALSE(controller.isVisible());
    }
    EXPECT_EQ(server.activated.size(), 1);
}

// Counts the paints a widget gets.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_F(ControllerTest, AMovedSelectionIsRepainted)
{
    controller.show();
    QListView *list = controller.view()->windowList();
    QTest::qWait(200); // the first paints are over
    PaintCounter counter;
    list->viewport()->installEventFilter(&counter);
    press(Qt::Key_Down);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 500));
}

TEST_F(ControllerTest, ClickingARowPicksItAndRefreshKeepsTheSelectedWindow)
{
    controller.show();
    controller.state().setSelection(2);
    const QString selected = controller.state().selectedRow()->id;
    addApp(30, QStringLiteral("Newcomer"), {300});
    recent.bumpApp(30);
    controller.refresh();
    EXPECT_EQ(controller.state().rows().size(), 4);
    EXPECT_EQ(controller.state().selectedRow()->id, selected);

    QListView *list = controller.view()->windowList();
    const QRect first = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_FALSE(controller.isVisible());
    ASSERT_EQ(server.activated.size(), 1);

    controller.show();
    server.windows.clear();
    controller.refresh();
    EXPECT_FALSE(controller.isVisible()) << "no rows left closes the panel";
}

// Two browser windows with their tabs badges, drawn by a view that records
// what it is asked to do.
class SwitcherViewTest : public ::testing::Test
{
protected:
    SwitcherViewTest()
    {
        for (int i = 0; i < 2; ++i) {
            WindowSwitcherRow row;
            row.id = row.windowRowID = QStringLiteral("1-%1").arg(i);
            row.windowTitle = QStringLiteral("Browser %1").arg(i);
            row.tabCount = 3;
            rows.append(row);
        }
        state.setColumnWidths(88, 200, 240);
        state.setRows(rows);
        view.resize(900, 300);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QPoint partOf(int row, QRectF WindowRowLayout::*part) const
    {
        QListView *list = view.windowList();
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        return (layoutWindowRow(rect, rows[row], 88, 200).*part).center().toPoint();
    }

    void click(const QPoint &at) { QTest::mouseClick(view.windowList()->viewport(), Qt::LeftButton, {}, at); }

    QList<WindowSwitcherRow> rows;
    WindowSwitcherState state;
    QList<int> picked;
    QList<int> toggled;
    WindowSwitcherView view{state,
                            {[this](int i) { picked.append(i); }, [this](int i) { toggled.append(i); }, [](int) {}},
                            {},
                            12};
};

TEST_F(SwitcherViewTest, ABadgeClickTogglesTheTabsAndPicksNoWindow)
{
    click(partOf(0, &WindowRowLayout::tabsBadge));
    click(partOf(0, &WindowRowLayout::tabsBadge));
    click(partOf(1, &WindowRowLayout::tabsBadge));
    EXPECT_EQ(toggled, (QList<int>{0, 0, 1}));
    EXPECT_TRUE(picked.isEmpty());

    click(partOf(1, &WindowRowLayout::title));
    EXPECT_EQ(picked, QList<int>{1}) << "the rest of the row still picks it";
}

TEST_F(SwitcherViewTest, TheTabColumnTakesItsWidthAndAHairlineFromTheWindowList)
{
    const int before = view.windowList()->width();
    state.showTabs(rows[0], {rows[0].newTabRow()}, std::nullopt);
    QCoreApplication::processEvents();
    ASSERT_TRUE(view.tabList()->isVisible());
    EXPECT_EQ(view.tabList()->width(), 240);
    EXPECT_EQ(view.windowList()->width(), before - 240 - WindowSwitcherView::dividerWidth);
    EXPECT_EQ(WindowSwitcherView::dividerWidth, 1);
}

TEST(SwitcherSizeRuleTest, HeightsAreCappedAndWidthsHeld)
{
    auto rowsOf = [](int count, bool fullScreen = false, int tabCount = 0) {
        QList<WindowSwitcherRow> rows;
        for (int i = 0; i < count; ++i) {
            WindowSwitcherRow row;
            row.windowTitle = QStringLiteral("x");
            row.isFullScreen = fullScreen;
            row.tabCount = tabCount;
            rows.append(row);
        }
        return rows;
    };
    const QRectF tall(0, 0, 1920, 1080);
    EXPECT_EQ(measureColumns(rowsOf(2), {}, tall).height, 2 * 70 + 2 + 56 + 48);
    EXPECT_EQ(measureColumns(rowsOf(100), {}, tall).height, 0.92 * 1080 - 20 + 48);
    EXPECT_EQ(measureColumns(rowsOf(100), {}, QRectF(0, 0, 800, 100)).height, 160 + 48);
    EXPECT_EQ(measureColumns({}, {}, tall).height, 120 + 48);

    const SwitcherMetrics narrow = measureColumns(rowsOf(1), {}, tall);
    EXPECT_EQ(narrow.width, 380 + 48);
    EXPECT_EQ(narrow.appNameColumnWidth, 88);
    EXPECT_EQ(measureColumns(rowsOf(1), {}, QRectF(0, 0, 300, 600)).width, 300 - 40 + 48);

    WindowSwitcherRow longTitle = rowsOf(1).first();
    longTitle.windowTitle = QString(300, QLatin1Char('W'));
    const SwitcherMetrics wide = measureColumns({longTitle}, {}, QRectF(0, 0, 100000, 1000));
    const qreal base = wide.titleColumnWidth + wide.appNameColumnWidth + 10 + 52 + 10 + 36 + 28 + 12;
    EXPECT_EQ(wide.width, base + 48);
    longTitle.isFullScreen = true;
    longTitle.tabCount = 2;
    EXPECT_EQ(measureColumns({longTitle}, {}, QRectF(0, 0, 100000, 1000)).width, base + 120 + 96 + 48);

    const QList<WindowSwitcherRow> tabs = {longTitle.newTabRow()};
    EXPECT_EQ(measureColumns(rowsOf(1), tabs, tall).tabColumnWidth, 240);
    EXPECT_EQ(measureColumns({longTitle}, tabs, QRectF(0, 0, 100000, 1000)).width, base + 120 + 96 + 240 + 1 + 48)
        << "the window list keeps its width beside the tab column and its line";
}

TEST(SwitcherRowsTest, BadgesFollowTheirLabels)
{
    EXPECT_EQ(unreadBadgeDiameter(QString()), 18);
    EXPECT_EQ(unreadBadgeDiameter(QStringLiteral("7")), 18);
    EXPECT_EQ(unreadBadgeDiameter(QStringLiteral("12")), 20);
    EXPECT_EQ(unreadBadgeDiameter(QStringLiteral("1234")), 24);
    EXPECT_EQ(tabsBadgeText(2), QStringLiteral("2 tabs"));

    WindowSwitcherRow row;
    row.windowTitle = QStringLiteral("i");
    row.tabCount = 1;
    WindowRowLayout layout = layoutWindowRow(QRectF(0, 0, 900, 70), row, 100, 500);
    EXPECT_TRUE(layout.tabsBadge.isEmpty());
    EXPECT_TRUE(layout.icon.isEmpty()) << "an app without an icon has no icon column";
    EXPECT_EQ(layout.title.width(), 24) << "a narrow title still gets 24";
    row.tabCount = 2;
    row.windowTitle = QString(200, QLatin1Char('W'));
    layout = layoutWindowRow(QRectF(0, 0, 2000, 70), row, 100, 300);
    EXPECT_FALSE(layout.tabsBadge.isEmpty());
    EXPECT_EQ(layout.title.width(), 300) << "a wide title stops at the cap";
    EXPECT_GT(layout.tabsBadge.left(), layout.title.right());
}

} // namespace

namespace {

// Another window of ours, counting the presses it gets.
class PressCounter : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

} // namespace

// The tray icon is such a window: a click on it while the switcher is open
// closes the switcher and still opens the panel.
TEST(SwitcherPanelTest, AClickOutsideClosesItAndGoesOnToOurWindowThere)
{
    PressCounter tray;
    tray.setGeometry(700, 10, 40, 40);
    tray.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tray));
    SwitcherPanel panel(WindowSwitcherView::outerPadding, 12);
    panel.setGeometry(100, 100, 400, 300);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));

    QTest::mouseClick(&panel, Qt::LeftButton, {}, panel.mapFromGlobal(tray.mapToGlobal(QPoint(20, 20))));
    EXPECT_FALSE(panel.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return tray.presses > 0; }, 2000));
    QCoreApplication::processEvents();
    EXPECT_EQ(tray.presses, 1) << "handed on once";

    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    QTest::mouseClick(&panel, Qt::LeftButton, {}, panel.mapFromGlobal(QPoint(50, 700)));
    EXPECT_FALSE(panel.isVisible()) << "a click beside our windows only closes it";
    QCoreApplication::processEvents();
    EXPECT_EQ(tray.presses, 1);
}
