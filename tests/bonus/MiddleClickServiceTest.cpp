#include "bonus/MiddleClickService.h"
#include "support/FakeAccessibility.h"
#include "support/FakeTouchDevices.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

using State = MiddleClickService::State;

const TouchPoint still[3] = {{0.2f, 0.5f}, {0.4f, 0.5f}, {0.6f, 0.5f}};

class MiddleClickServiceTest : public ::testing::Test
{
protected:
    MiddleClickTimings timings()
    {
        return {40, 120, 60, [this] { return nowMs; }};
    }

    qint64 nowMs = 1000;
    FakeTouchDevices devices;
    FakeClickConverter converter;
    FakeSystemSleep sleep;
    FakeAccessibility accessibility;
    MiddleClickService service{devices, converter, sleep, accessibility, timings()};
};

TEST_F(MiddleClickServiceTest, WaitsAndRetriesUntilTheDisplayConvertsClicks)
{
    devices.plugged.devices = {{5, QStringLiteral("/dev/input/event5"), false}};
    accessibility.trusted = false;
    service.setEnabled(true);
    EXPECT_EQ(service.state(), State::waiting);
    QTest::qWait(100);
    EXPECT_EQ(devices.registrations, 1) << "devices stay registered while waiting";
    accessibility.trusted = true;
    converter.installable = false;
    QTest::qWait(100);
    EXPECT_EQ(service.state(), State::waiting);
    converter.installable = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return service.state() == State::active; }, 1000));
    const int installs = converter.installs;
    QTest::qWait(100);
    EXPECT_EQ(converter.installs, installs) << "no retries once active";

    service.setEnabled(false);
    EXPECT_EQ(service.state(), State::off);
    EXPECT_EQ(devices.sink, nullptr) << "the reader stopped";
    EXPECT_FALSE(converter.installed);
}

TEST_F(MiddleClickServiceTest, WaitsUntilATouchDeviceIsAttached)
{
    service.setEnabled(true);
    EXPECT_TRUE(converter.installed);
    EXPECT_EQ(service.state(), State::waiting) << "no touchpad at all";

    QSignalSpy changes(&service, &MiddleClickService::stateChanged);
    devices.plugged.devices = {{5, QStringLiteral("/dev/input/event5"), false}};
    devices.announceChange();
    EXPECT_TRUE(QTest::qWaitFor([&] { return service.state() == State::active; }, 1000));
    EXPECT_EQ(changes.size(), 1);

    devices.plugged.devices.clear();
    devices.announceChange();
    EXPECT_TRUE(QTest::qWaitFor([&] { return service.state() == State::waiting; }, 1000)) << "unplugged";
}

TEST_F(MiddleClickServiceTest, AClickWithThreeFingersDownPressesTheMiddleButtonUntilItIsUp)
{
    devices.plugged.devices = {{5, QStringLiteral("/dev/input/event5"), false}};
    service.setEnabled(true);
    ASSERT_NE(devices.sink, nullptr);
    TouchFrameSink &sink = *devices.sink;

    sink.contactFrame(5, 3, still);
    EXPECT_EQ(converter.mappings, QList<bool>{true}) << "remapped as the fingers land";
    sink.buttonChanged(5, true);
    sink.contactFrame(5, 0, nullptr);
    EXPECT_EQ(converter.mappings, QList<bool>{true}) << "held while the converted button is down";
    converter.busy = true;
    sink.buttonChanged(5, false);
    converter.busy = false;
    sink.contactFrame(5, 0, nullptr);
    EXPECT_EQ(converter.mappings, (QList<bool>{true, false})) << "a refused restore is tried again";

    sink.buttonChanged(5, true);
    sink.buttonChanged(5, false);
    EXPECT_EQ(converter.mappings, (QList<bool>{true, false})) << "the next click is an ordinary one";
}

TEST_F(MiddleClickServiceTest, ATapPostsOneClickOnlyWithTapToClick)
{
    for (const bool taps : {true, false}) {
        converter.taps = taps;
        converter.middleClicks = 0;
        service.setEnabled(true);
        TouchFrameSink &sink = *devices.sink;
        sink.contactFrame(5, 3, still);
        nowMs += 100;
        sink.contactFrame(5, 0, nullptr);
        EXPECT_EQ(converter.middleClicks, taps ? 1 : 0) << taps;
        service.setEnabled(false);
        nowMs += 1000;
    }
}

TEST_F(MiddleClickServiceTest, DeviceChangesSettleIntoOneRegistrationAndAWakeRestarts)
{
    service.setEnabled(true);
    for (int i = 0; i < 3; ++i)
        devices.announceChange();
    QTest::qWait(150);
    EXPECT_EQ(devices.registrations, 2);
    EXPECT_EQ(converter.installs, 2) << "new pointers follow the conversion";

    sleep.wake();
    QTest::qWait(60);
    EXPECT_EQ(converter.removals, 1) << "not before the wake settles";
    EXPECT_TRUE(QTest::qWaitFor([&] { return converter.removals == 2 && converter.installed; }, 1000));

    service.setEnabled(false);
    sleep.wake();
    devices.announceChange();
    QTest::qWait(200);
    EXPECT_EQ(service.state(), State::off) << "nothing restarts a switched-off service";
}

} // namespace
