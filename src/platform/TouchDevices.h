#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace tamo {

// A contact's position, each axis 0–1 across the device.
struct TouchPoint
{
    float x = 0;
    float y = 0;
};

// Receives what the multitouch devices report, on their reader thread.
class TouchFrameSink
{
public:
    virtual ~TouchFrameSink() = default;
    // `count` contacts rest on the device; `firstThree` holds the first three
    // positions when there are at least three, else it is null.
    virtual void contactFrame(int device, int count, const TouchPoint *firstThree) = 0;
    // The device's left or right button went down or up.
    virtual void buttonChanged(int device, bool down) = 0;
};

// The touchpads and multitouch mice of the machine.
class TouchDevices : public QObject
{
    Q_OBJECT
public:
    struct Device
    {
        int id = 0;
        QString node; // e.g. /dev/input/event5
        bool isMouse = false;
    };

    struct Registration
    {
        QList<Device> devices;
        // Touch devices that exist but this user may not read.
        int unreadable = 0;
    };

    using QObject::QObject;

    // Opens the devices and reads them into `sink` on a thread of their own
    // until unregistered.
    virtual Registration registerDevices(TouchFrameSink &sink) = 0;
    // Returns once the reader thread has ended.
    virtual void unregisterDevices() = 0;

signals:
    // A device came or went.
    void devicesChanged();
};

// Tells when the machine wakes from sleep.
class SystemSleep : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void woke();
};

// Turns a click into a middle click while three fingers rest, and posts
// middle clicks, through the display server.
class ClickConverter
{
public:
    virtual ~ClickConverter() = default;
    // Main thread, while no reader runs. False when the display cannot remap
    // buttons or post clicks.
    virtual bool install() = 0;
    // Main thread, after the devices' reader has stopped: every button map as it was.
    virtual void remove() = 0;
    // Any thread.
    virtual bool isInstalled() const = 0;
    // Whether the touchpad driver taps clicks but gives a three-finger tap
    // no button of its own, so one must be posted.
    virtual bool tapToClick() const = 0;

    // Reader thread. While on, every pointer's left and right buttons press
    // the middle one, as a click anywhere is converted while three fingers rest. False when the display refused (a button is held): try again.
    virtual bool setMiddleButtons(bool on) = 0;
    virtual void postMiddleClick() = 0;
};

} // namespace tamo
