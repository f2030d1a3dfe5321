#pragma once

#include "platform/TouchDevices.h"

#include <QSocketNotifier>

#include <atomic>
#include <memory>
#include <thread>

struct udev;
struct udev_monitor;

namespace tamo {

// Touchpads and multitouch mice through the kernel's input devices
// (/dev/input/event*, read with libevdev; reading them needs the "input"
// group), followed as they come and go through udev.
class EvdevTouchDevices final : public TouchDevices
{
    Q_OBJECT
public:
    explicit EvdevTouchDevices(QObject *parent = nullptr);
    ~EvdevTouchDevices() override;

    Registration registerDevices(TouchFrameSink &sink) override;
    void unregisterDevices() override;

private:
    struct OpenDevice;

    void readUntilStopped(TouchFrameSink &sink);
    void onMonitorEvent();

    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    std::unique_ptr<QSocketNotifier> m_monitorNotifier;
    std::vector<std::unique_ptr<OpenDevice>> m_open;
    int m_stopEvent = -1;
    std::thread m_reader;
};

// Wakes from sleep as logind announces them on the system bus.
class LogindSystemSleep final : public SystemSleep
{
    Q_OBJECT
public:
    explicit LogindSystemSleep(QObject *parent = nullptr);

private slots:
    void onPrepareForSleep(bool goingToSleep);
};

} // namespace tamo
