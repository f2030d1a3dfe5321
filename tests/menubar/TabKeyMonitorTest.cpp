#include "menubar/TabKeyMonitor.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

// Counts the Tab presses that reach it.
class TabField : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    int tabs = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
                ++tabs;
        }
        return QLineEdit::event(event);
    }
};

class TabKeyMonitorTest : public ::testing::Test
{
protected:
    TabKeyMonitorTest()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(&first);
        layout->addWidget(&second);
        window.show();
        first.setFocus();
    }

    std::unique_ptr<TabKeyMonitor> monitor(bool consume)
    {
        return std::make_unique<TabKeyMonitor>(&window, [this, consume](bool forward) {
            calls.append(forward);
            return consume;
        });
    }

    QWidget window;
    TabField first;
    TabField second;
    QList<bool> calls;
};

TEST_F(TabKeyMonitorTest, TabAndShiftTabReachTheHandlerBeforeTheFocusMoves)
{
    const auto watching = monitor(true);
    QTest::keyClick(&first, Qt::Key_Tab);
    QTest::keyClick(&first, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(calls, (QList<bool>{true, false}));
    EXPECT_EQ(first.tabs, 0); // consumed: the field never saw them
}

TEST_F(TabKeyMonitorTest, PressesWithOtherModifiersOrOtherKeysPass)
{
    const auto watching = monitor(true);
    for (const Qt::KeyboardModifier modifier : {Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier})
        QTest::keyClick(&first, Qt::Key_Tab, modifier);
    QTest::keyClick(&first, Qt::Key_A);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(first.text(), QStringLiteral("a"));
}

TEST_F(TabKeyMonitorTest, OtherWindowsAreNotWatched)
{
    const auto watching = monitor(true);
    QLineEdit elsewhere;
    elsewhere.show();
    QTest::keyClick(&elsewhere, Qt::Key_Tab);
    EXPECT_TRUE(calls.isEmpty());
}

TEST_F(TabKeyMonitorTest, AnUnusedPressTakesItsNormalCourse)
{
    const auto watching = monitor(false);
    QTest::keyClick(&first, Qt::Key_Tab);
    EXPECT_EQ(calls, QList<bool>{true});
    EXPECT_EQ(first.tabs, 1);
}

TEST_F(TabKeyMonitorTest, StopsWatchingWhenDestroyed)
{
    monitor(true).reset();
    QTest::keyClick(&first, Qt::Key_Tab);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(first.tabs, 1);
}

} // namespace
