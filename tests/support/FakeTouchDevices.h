#pragma once

#include "platform/TouchDevices.h"

namespace tamo::testing {

// Devices the test plugs in; the test plays the reader thread by calling the
// sink it was handed.
class FakeTouchDevices final : public TouchDevices
{
public:
    Registration plugged;
    TouchFrameSink *sink = nullptr;
    int registrations = 0;

    Registration registerDevices(TouchFrameSink &frameSink) override
    {
        ++registrations;
        sink = &frameSink;
        return plugged;
    }
    void unregisterDevices() override { sink = nullptr; }
    void announceChange() { emit devicesChanged(); }
};

class FakeSystemSleep final : public SystemSleep
{
public:
    void wake() { emit woke(); }
};

// Records what the service asks of the display.
class FakeClickConverter final : public ClickConverter
{
public:
    bool installable = true;
    bool installed = false;
    bool taps = true;
    bool busy = false; // refuses remapping, as while a button is held
    int installs = 0;
    int removals = 0;
    QList<bool> mappings;
    int middleClicks = 0;

    bool install() override
    {
        ++installs;
        installed = installable;
        return installed;
    }
    void remove() override
    {
        ++removals;
        installed = false;
    }
    bool isInstalled() const override { return installed; }
    bool tapToClick() const override { return taps; }
    bool setMiddleButtons(bool on) override
    {
        if (busy)
            return false;
        mappings.append(on);
        return true;
    }
    void postMiddleClick() override { ++middleClicks; }
};

} // namespace tamo::testing
