#include "menubar/HorizontalWheelScrolling.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

// A 300-wide row over a 1000-wide document: offsets run from 0 to 700.
class HorizontalWheelScrollingTest : public ::testing::Test
{
protected:
    HorizontalWheelScrollingTest()
    {
        row.setFrameShape(QFrame::NoFrame);
        row.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        row.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        document->setFixedSize(1000, 100);
        row.setWidget(document);
        row.resize(300, 100);
        row.show();
    }

    // Returns whether the row consumed the event.
    bool wheel(QPoint angle, QPoint pixels = {})
    {
        const QPointF at(10, 10);
        QWheelEvent event(at, row.viewport()->mapToGlobal(at), pixels, angle, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        event.setAccepted(false);
        QApplication::sendEvent(row.viewport(), &event);
        return event.isAccepted();
    }

    int offset() const { return row.horizontalScrollBar()->value(); }

    QScrollArea row;
    QWidget *document = new QWidget;
    HorizontalWheelScrolling scrolling{&row};
};

TEST_F(HorizontalWheelScrollingTest, AWheelNotchMovesTwelvePerLineAndATouchpadItsPixels)
{
    wheel({0, -120}); // one notch towards the user: forward
    EXPECT_EQ(offset(), 12);
    wheel({0, -360});
    EXPECT_EQ(offset(), 48);
    wheel({0, -30}, {0, -30});
    EXPECT_EQ(offset(), 78);
    wheel({0, 120});
    EXPECT_EQ(offset(), 66);
}

TEST_F(HorizontalWheelScrollingTest, OffsetsStopAtBothEndsAndTheEventIsStillUsed)
{
    EXPECT_TRUE(wheel({0, 120}));
    EXPECT_EQ(offset(), 0);
    EXPECT_TRUE(wheel({0, -12000}));
    EXPECT_EQ(offset(), 700);
}

TEST_F(HorizontalWheelScrollingTest, DiagonalGesturesKeepTheirNormalCourse)
{
    row.horizontalScrollBar()->setValue(100);
    wheel({-120, -120}, {-40, -40}); // equal parts: not taken as a vertical turn
    EXPECT_EQ(offset(), 100);
}

TEST_F(HorizontalWheelScrollingTest, ANarrowDocumentStaysAtTheStart)
{
    document->setFixedSize(200, 100);
    wheel({0, -240});
    EXPECT_EQ(offset(), 0);
}

} // namespace
