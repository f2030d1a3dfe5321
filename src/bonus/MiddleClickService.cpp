#include "bonus/MiddleClickService.h"

#include "platform/Accessibility.h"
#include "platform/SystemLog.h"

#include <chrono>

namespace tamo {

namespace {

const QString logCategory = QStringLiteral("MiddleClick");

} // namespace

MiddleClickService::MiddleClickService(TouchDevices &devices, ClickConverter &converter, SystemSleep &sleep,
                                       const Accessibility &accessibility, MiddleClickTimings timings, QObject *parent)
    : QObject(parent)
    , m_devices(devices)
    , m_converter(converter)
    , m_accessibility(accessibility)
    , m_timings(std::move(timings))
{
    m_retryTimer.setInterval(m_timings.retryMs);
    connect(&m_retryTimer, &QTimer::timeout, this, &MiddleClickService::start);
    m_deviceTimer.setSingleShot(true);
    m_deviceTimer.setInterval(m_timings.deviceSettleMs);
    connect(&m_deviceTimer, &QTimer::timeout, this, &MiddleClickService::reregisterDevices);
    connect(&m_devices, &TouchDevices::devicesChanged, this, [this] {
        if (m_enabled)
            m_deviceTimer.start();
    });
    connect(&sleep, &SystemSleep::woke, this, [this] {
        if (m_enabled)
            QTimer::singleShot(m_timings.restartAfterWakeMs, this, &MiddleClickService::restartAfterWake);
    });
}

MiddleClickService::~MiddleClickService()
{
    stop();
}

void MiddleClickService::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (enabled)
        start();
    else
        stop();
}

MiddleClickService::State MiddleClickService::state() const
{
    // Nothing is converted before a touch device is there to read.
    if (m_converter.isInstalled())
        return m_registration.devices.isEmpty() ? State::waiting : State::active;
    return m_retryTimer.isActive() ? State::waiting : State::off;
}

void MiddleClickService::start()
{
    m_tapToClick = m_converter.tapToClick();
    registerDevices();
    if (m_converter.isInstalled())
        return;
    const bool trusted = m_accessibility.isTrusted();
    if (!trusted || !m_converter.install()) {
        if (m_retryTimer.isActive())
            return;
        writeSystemLog(logCategory, QStringLiteral("Waiting: trusted=%1, devices=%2")
                                        .arg(trusted ? QStringLiteral("true") : QStringLiteral("false"))
                                        .arg(m_registration.devices.size()));
        m_retryTimer.start();
        emit stateChanged();
        return;
    }
    writeSystemLog(logCategory,
                   QStringLiteral("Event tap installed; listening to %1 trackpad(s)").arg(m_registration.devices.size()));
    m_retryTimer.stop();
    emit stateChanged();
}

void MiddleClickService::stop()
{
    const State before = state();
    m_retryTimer.stop();
    m_deviceTimer.stop();
    // The reader ends first, so nothing remaps the buttons after they are restored.
    unregisterDevices();
    m_converter.remove();
    if (state() != before)
        emit stateChanged();
}

void MiddleClickService::registerDevices()
{
    if (m_registered)
        return;
    m_registered = true;
    m_registration = m_devices.registerDevices(*this);
    const std::lock_guard lock(m_touchLock);
    for (const TouchDevices::Device &device : std::as_const(m_registration.devices)) {
        if (device.isMouse)
            m_touch.addMouseDevice(device.id);
    }
}

void MiddleClickService::unregisterDevices()
{
    if (!m_registered)
        return;
    m_devices.unregisterDevices();
    m_registered = false;
    m_registration = {};
    m_convertingClick = false;
    m_middleButtons = false;
    const std::lock_guard lock(m_touchLock);
    m_touch = TouchState();
}

void MiddleClickService::restartAfterWake()
{
    stop();
    if (m_enabled)
        start();
}

void MiddleClickService::reregisterDevices()
{
    if (!m_enabled)
        return;
    const State before = state();
    unregisterDevices();
    // A new pointer's buttons follow the conversion too.
    if (m_converter.isInstalled()) {
        m_converter.remove();
        m_converter.install();
    }
    registerDevices();
    if (state() != before)
        emit stateChanged();
}

qint64 MiddleClickService::now() const
{
    if (m_timings.monotonicMs)
        return m_timings.monotonicMs();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void MiddleClickService::contactFrame(int device, int count, const TouchPoint *firstThree)
{
    bool clickDue = false;
    bool threeDown = false;
    {
        const std::lock_guard lock(m_touchLock);
        clickDue = m_touch.handleFrame(device, count, firstThree, now(), m_tapToClick);
        threeDown = m_touch.threeDown();
    }
    updateMiddleButtons(threeDown);
    if (clickDue)
        m_converter.postMiddleClick();
}

void MiddleClickService::buttonChanged(int device, bool down)
{
    Q_UNUSED(device);
    bool threeDown = false;
    {
        const std::lock_guard lock(m_touchLock);
        if (down)
            m_convertingClick = m_touch.takeClick(now());
        else
            m_convertingClick = false;
        threeDown = m_touch.threeDown();
    }
    updateMiddleButtons(threeDown);
}

void MiddleClickService::updateMiddleButtons(bool threeDown)
{
    // The map must hold from the fingers' landing until the converted
    // button is up again, or press and release would differ.
    const bool wanted = threeDown || m_convertingClick;
    if (wanted != m_middleButtons && m_converter.isInstalled() && m_converter.setMiddleButtons(wanted))
        m_middleButtons = wanted;
}

} // namespace tamo
