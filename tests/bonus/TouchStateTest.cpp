#include "bonus/TouchState.h"

#include <gtest/gtest.h>

using namespace tamo;

namespace {

constexpr int trackpad = 1;
constexpr int mouse = 2;

const TouchPoint still[3] = {{0.2f, 0.5f}, {0.4f, 0.5f}, {0.6f, 0.5f}};
const TouchPoint moved[3] = {{0.22f, 0.52f}, {0.42f, 0.52f}, {0.62f, 0.52f}}; // summed movement 0.12

// One step of a touch: fingers at a time (ms); positions only with three.
struct Frame
{
    int fingers;
    qint64 at;
    const TouchPoint *points = still;
};

// Plays frames on the trackpad and counts the taps that click.
int clicks(TouchState &state, const QList<Frame> &frames, bool tapToClick = true, int device = trackpad)
{
    int clicks = 0;
    for (const Frame &frame : frames)
        clicks += state.handleFrame(device, frame.fingers, frame.fingers >= 3 ? frame.points : nullptr, frame.at, tapToClick);
    return clicks;
}

TEST(TouchState, AThreeFingerTapClicksOnlyWhenShortStillAndInTime)
{
    struct Case
    {
        const char *name;
        QList<Frame> frames;
        int clicks;
    };
    const QList<Case> cases = {
        {"landing together, lifted in 0.3 s", {{3, 0}, {3, 100}, {0, 300}}, 1},
        {"held 0.31 s", {{3, 0}, {3, 100}, {0, 310}}, 0},
        {"third finger within 0.3 s", {{1, 0}, {2, 100}, {3, 300}, {0, 300}}, 1},
        {"third finger after 0.3 s", {{1, 0}, {2, 100}, {3, 301}, {0, 302}}, 0},
        {"a fourth finger", {{3, 0}, {4, 50}, {3, 60}, {0, 100}}, 0},
        {"moved 0.12", {{3, 0}, {3, 100, moved}, {0, 200}}, 0},
        {"two fingers only", {{2, 0}, {0, 100}}, 0},
        {"lifted without a touch", {{0, 0}}, 0},
    };
    for (const Case &c : cases) {
        TouchState state;
        EXPECT_EQ(clicks(state, c.frames), c.clicks) << c.name;
    }
}

TEST(TouchState, TapsNearAClickOrAnotherTapAreSwallowed)
{
    TouchState state;
    clicks(state, {{3, 0}});
    ASSERT_TRUE(state.takeClick(10)) << "a physical click with three fingers down";
    EXPECT_FALSE(state.threeDown()) << "one conversion per landing";
    EXPECT_FALSE(state.takeClick(20));
    EXPECT_EQ(clicks(state, {{0, 200}, {3, 210}, {0, 235}}), 0) << "0.225 s after the click";
    EXPECT_EQ(clicks(state, {{3, 300}, {0, 400}}), 1);
    EXPECT_EQ(clicks(state, {{3, 420}, {0, 489}}), 0) << "under 0.09 s after the last tap";
    EXPECT_EQ(clicks(state, {{3, 500}, {0, 600}}), 1);
}

TEST(TouchState, MiceAndTapToClickOffNeverTapButStillConvertClicks)
{
    TouchState state;
    state.addMouseDevice(mouse);
    EXPECT_EQ(clicks(state, {{3, 0}, {0, 100}}, true, mouse), 0);
    EXPECT_EQ(clicks(state, {{3, 200}, {0, 300}}, false), 0);
    clicks(state, {{3, 400}}, true, mouse);
    EXPECT_TRUE(state.threeDown());
    EXPECT_TRUE(state.takeClick(410));
}

} // namespace
