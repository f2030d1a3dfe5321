#include "platform/EvdevTouchDevices.h"

#include <QDBusConnection>

#include <libevdev/libevdev.h>
#include <libudev.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tamo {

struct EvdevTouchDevices::OpenDevice
{
    Device device;
    int fd = -1;
    libevdev *evdev = nullptr;

    ~OpenDevice()
    {
        libevdev_free(evdev);
        if (fd >= 0)
            ::close(fd);
    }
};

namespace {

bool isMultitouch(libevdev *evdev)
{
    return libevdev_has_event_code(evdev, EV_ABS, ABS_MT_SLOT)
           && libevdev_has_event_code(evdev, EV_ABS, ABS_MT_POSITION_X)
           && libevdev_has_event_code(evdev, EV_ABS, ABS_MT_POSITION_Y);
}

float normalised(libevdev *evdev, int code, int value)
{
    const input_absinfo *info = libevdev_get_abs_info(evdev, code);
    if (!info || info->maximum <= info->minimum)
        return 0;
    return float(value - info->minimum) / float(info->maximum - info->minimum);
}

// Reports the device's resting contacts as they stand after a frame.
void reportFrame(libevdev *evdev, int id, TouchFrameSink &sink)
{
    TouchPoint firstThree[3];
    int count = 0;
    const int slotCount = libevdev_get_num_slots(evdev);
    for (int slot = 0; slot < slotCount; ++slot) {
        if (libevdev_get_slot_value(evdev, slot, ABS_MT_TRACKING_ID) < 0)
            continue;
        if (count < 3) {
            firstThree[count] = {normalised(evdev, ABS_MT_POSITION_X, libevdev_get_slot_value(evdev, slot, ABS_MT_POSITION_X)),
                                 normalised(evdev, ABS_MT_POSITION_Y, libevdev_get_slot_value(evdev, slot, ABS_MT_POSITION_Y))};
        }
        ++count;
    }
    sink.contactFrame(id, count, count >= 3 ? firstThree : nullptr);
}

void drain(libevdev *evdev, int id, TouchFrameSink &sink)
{
    input_event event;
    unsigned int flags = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
        const int rc = libevdev_next_event(evdev, flags, &event);
        if (rc == LIBEVDEV_READ_STATUS_SYNC) {
            // Events were dropped: libevdev replays the device's state.
            flags = LIBEVDEV_READ_FLAG_SYNC;
        } else if (rc == LIBEVDEV_READ_STATUS_SUCCESS) {
            if (event.type == EV_SYN && event.code == SYN_REPORT)
                reportFrame(evdev, id, sink);
            else if (event.type == EV_KEY && (event.code == BTN_LEFT || event.code == BTN_RIGHT) && event.value != 2)
                sink.buttonChanged(id, event.value == 1);
        } else if (rc == -EAGAIN && flags == LIBEVDEV_READ_FLAG_SYNC) {
            flags = LIBEVDEV_READ_FLAG_NORMAL;
        } else {
            return; // nothing more now, or the device is gone
        }
    }
}

} // namespace

EvdevTouchDevices::EvdevTouchDevices(QObject *parent)
    : TouchDevices(parent)
    , m_udev(udev_new())
{
    if (!m_udev)
        return;
    // No monitor in containers without udev: devices are then read as they
    // were at each start.
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor)
        return;
    udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "input", nullptr);
    if (udev_monitor_enable_receiving(m_monitor) < 0) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
        return;
    }
    m_monitorNotifier = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read);
    connect(m_monitorNotifier.get(), &QSocketNotifier::activated, this, &EvdevTouchDevices::onMonitorEvent);
}

EvdevTouchDevices::~EvdevTouchDevices()
{
    unregisterDevices();
    m_monitorNotifier.reset();
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void EvdevTouchDevices::onMonitorEvent()
{
    udev_device *device = udev_monitor_receive_device(m_monitor);
    if (!device)
        return;
    const char *name = udev_device_get_sysname(device);
    const bool isEventNode = name && QByteArray(name).startsWith("event");
    udev_device_unref(device);
    if (isEventNode)
        emit devicesChanged();
}

TouchDevices::Registration EvdevTouchDevices::registerDevices(TouchFrameSink &sink)
{
    Registration registration;
    if (m_reader.joinable() || !m_udev)
        return registration;
    udev_enumerate *enumerate = udev_enumerate_new(m_udev);
    udev_enumerate_add_match_subsystem(enumerate, "input");
    udev_enumerate_add_match_sysname(enumerate, "event*");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry *entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device *device = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
        if (!device)
            continue;
        const char *node = udev_device_get_devnode(device);
        const char *touchpad = udev_device_get_property_value(device, "ID_INPUT_TOUCHPAD");
        const char *mouse = udev_device_get_property_value(device, "ID_INPUT_MOUSE");
        const bool mayTouch = (touchpad && qstrcmp(touchpad, "1") == 0) || (mouse && qstrcmp(mouse, "1") == 0);
        if (node && mayTouch) {
            auto open = std::make_unique<OpenDevice>();
            open->fd = ::open(node, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (open->fd < 0) {
                if ((errno == EACCES || errno == EPERM) && touchpad)
                    ++registration.unreadable;
            } else if (libevdev_new_from_fd(open->fd, &open->evdev) == 0 && isMultitouch(open->evdev)) {
                open->device = {QByteArray(udev_device_get_sysnum(device)).toInt(), QString::fromLocal8Bit(node),
                                libevdev_has_event_code(open->evdev, EV_REL, REL_X) != 0};
                registration.devices.append(open->device);
                m_open.push_back(std::move(open));
            }
        }
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    if (m_open.empty())
        return registration;
    m_stopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_reader = std::thread([this, &sink] { readUntilStopped(sink); });
    return registration;
}

void EvdevTouchDevices::readUntilStopped(TouchFrameSink &sink)
{
    std::vector<pollfd> fds;
    fds.push_back({m_stopEvent, POLLIN, 0});
    for (const auto &open : m_open)
        fds.push_back({open->fd, POLLIN, 0});
    for (;;) {
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
            return;
        if (fds[0].revents)
            return;
        for (size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents & POLLIN)
                drain(m_open[i - 1]->evdev, m_open[i - 1]->device.id, sink);
            if (fds[i].revents & (POLLERR | POLLHUP))
                fds[i].fd = -1; // unplugged: udev tells the main thread
        }
    }
}

void EvdevTouchDevices::unregisterDevices()
{
    if (m_reader.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_stopEvent, &one, sizeof one);
        m_reader.join();
    }
    if (m_stopEvent >= 0) {
        ::close(m_stopEvent);
        m_stopEvent = -1;
    }
    m_open.clear();
}

LogindSystemSleep::LogindSystemSleep(QObject *parent)
    : SystemSleep(parent)
{
    QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"),
                                         QStringLiteral("/org/freedesktop/login1"),
                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                         QStringLiteral("PrepareForSleep"), this, SLOT(onPrepareForSleep(bool)));
}

void LogindSystemSleep::onPrepareForSleep(bool goingToSleep)
{
    if (!goingToSleep)
        emit woke();
}

} // namespace tamo
