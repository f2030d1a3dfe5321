#pragma once

#include "bonus/TouchState.h"
#include "platform/TouchDevices.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>
#include <mutex>

namespace tamo {

class Accessibility;

struct MiddleClickTimings
{
    int retryMs = 1000;
    int restartAfterWakeMs = 5000;
    // Several devices coming or going at once give one re-registration.
    int deviceSettleMs = 1000;
    std::function<qint64()> monotonicMs; // the steady clock when empty
};

// A middle mouse button for touchpads and multitouch mice: a click made while
// three fingers rest becomes a middle click, and with tap to click a short
// three-finger tap posts one.
//
// Off until enabled; then Waiting (retrying each second) until the display
// lets clicks be converted and while no touch device is attached, then Active. The devices are read on a thread of
// their own, which shares the touch state with this object under one lock.
class MiddleClickService final : public QObject, private TouchFrameSink
{
    Q_OBJECT
public:
    enum class State { off, waiting, active };

    MiddleClickService(TouchDevices &devices, ClickConverter &converter, SystemSleep &sleep,
                       const Accessibility &accessibility, MiddleClickTimings timings = {}, QObject *parent = nullptr);
    ~MiddleClickService() override;

    void setEnabled(bool enabled);
    State state() const;
    // Touch devices this user may not read (not in the "input" group).
    int unreadableDevices() const { return m_registration.unreadable; }

signals:
    void stateChanged();

private:
    void start();
    void stop();
    void registerDevices();
    void unregisterDevices();
    void restartAfterWake();
    void reregisterDevices();
    qint64 now() const;

    // On the devices' reader thread.
    void contactFrame(int device, int count, const TouchPoint *firstThree) override;
    void buttonChanged(int device, bool down) override;
    void updateMiddleButtons(bool threeDown);

    TouchDevices &m_devices;
    ClickConverter &m_converter;
    const Accessibility &m_accessibility;
    MiddleClickTimings m_timings;
    bool m_enabled = false;
    bool m_registered = false;
    TouchDevices::Registration m_registration;
    QTimer m_retryTimer;
    QTimer m_deviceTimer;

    std::mutex m_touchLock;
    TouchState m_touch;
    std::atomic<bool> m_tapToClick = false;
    // Reader thread only.
    bool m_convertingClick = false;
    bool m_middleButtons = false;
};

} // namespace tamo
