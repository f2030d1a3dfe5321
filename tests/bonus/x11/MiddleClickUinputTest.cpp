#include "bonus/MiddleClickService.h"
#include "platform/EvdevTouchDevices.h"
#include "platform/x11/ButtonRecorder.h"
#include "platform/x11/X11ClickConverter.h"
#include "support/FakeAccessibility.h"
#include "support/FakeTouchDevices.h"

#include <QTest>
#include <gtest/gtest.h>

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <libudev.h>

#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

constexpr int slotCount = 3;

// A touchpad the kernel believes in, made through uinput: what the middle
// click reads is the kernel's own event stream, not a fake.
class VirtualTouchpad
{
public:
    ~VirtualTouchpad()
    {
        if (m_uinput)
            libevdev_uinput_destroy(m_uinput);
        libevdev_free(m_device);
    }

    // Nothing, with the reason in `why`, where uinput refuses the device.
    static std::unique_ptr<VirtualTouchpad> create(QString &why)
    {
        auto pad = std::unique_ptr<VirtualTouchpad>(new VirtualTouchpad);
        libevdev *device = pad->m_device;
        libevdev_set_name(device, "TamoCove test touchpad");
        libevdev_enable_property(device, INPUT_PROP_POINTER);
        libevdev_enable_property(device, INPUT_PROP_BUTTONPAD);
        for (const unsigned int key : {BTN_LEFT, BTN_TOUCH, BTN_TOOL_FINGER, BTN_TOOL_DOUBLETAP, BTN_TOOL_TRIPLETAP})
            libevdev_enable_event_code(device, EV_KEY, key, nullptr);
        const input_absinfo x{0, 0, 1000, 0, 0, 12};
        const input_absinfo y{0, 0, 700, 0, 0, 12};
        const input_absinfo slot{0, 0, slotCount - 1, 0, 0, 0};
        const input_absinfo tracking{0, 0, 65535, 0, 0, 0};
        libevdev_enable_event_code(device, EV_ABS, ABS_X, &x);
        libevdev_enable_event_code(device, EV_ABS, ABS_Y, &y);
        libevdev_enable_event_code(device, EV_ABS, ABS_MT_SLOT, &slot);
        libevdev_enable_event_code(device, EV_ABS, ABS_MT_TRACKING_ID, &tracking);
        libevdev_enable_event_code(device, EV_ABS, ABS_MT_POSITION_X, &x);
        libevdev_enable_event_code(device, EV_ABS, ABS_MT_POSITION_Y, &y);
        if (const int rc = libevdev_uinput_create_from_device(device, LIBEVDEV_UINPUT_OPEN_MANAGED, &pad->m_uinput);
            rc < 0) {
            pad->m_uinput = nullptr;
            why = QStringLiteral("uinput refused the device: %1").arg(QString::fromLocal8Bit(strerror(-rc)));
            return nullptr;
        }
        return pad;
    }

    // Whether udev classed the device as a touchpad, as it does a real one;
    // without udevd nothing is classed.
    bool waitUntilTouchpad() const
    {
        const char *node = libevdev_uinput_get_devnode(m_uinput);
        struct stat status = {};
        if (!node || ::stat(node, &status) != 0)
            return false; // the kernel gave it no node

        udev *context = udev_new();
        const bool classed = QTest::qWaitFor(
            [&] {
                udev_device *device = udev_device_new_from_devnum(context, 'c', status.st_rdev);
                const char *touchpad = device ? udev_device_get_property_value(device, "ID_INPUT_TOUCHPAD") : nullptr;
                const bool yes = touchpad && qstrcmp(touchpad, "1") == 0;
                if (device)
                    udev_device_unref(device);
                return yes;
            },
            5000);
        udev_unref(context);
        return classed;
    }

    // `count` fingers rest, side by side; 0 lifts them all.
    void rest(int count)
    {
        for (int slot = 0; slot < slotCount; ++slot) {
            write(EV_ABS, ABS_MT_SLOT, slot);
            if (slot >= count) {
                write(EV_ABS, ABS_MT_TRACKING_ID, -1);
                continue;
            }
            write(EV_ABS, ABS_MT_TRACKING_ID, ++m_lastTrackingID);
            write(EV_ABS, ABS_MT_POSITION_X, 250 + 200 * slot);
            write(EV_ABS, ABS_MT_POSITION_Y, 350);
        }
        write(EV_KEY, BTN_TOUCH, count > 0);
        write(EV_KEY, BTN_TOOL_FINGER, count == 1);
        write(EV_KEY, BTN_TOOL_DOUBLETAP, count == 2);
        write(EV_KEY, BTN_TOOL_TRIPLETAP, count == 3);
        write(EV_ABS, ABS_X, 250);
        write(EV_ABS, ABS_Y, 350);
        write(EV_SYN, SYN_REPORT, 0);
    }

    void press(bool down)
    {
        write(EV_KEY, BTN_LEFT, down);
        write(EV_SYN, SYN_REPORT, 0);
    }

private:
    VirtualTouchpad() : m_device(libevdev_new()) {}

    void write(unsigned int type, unsigned int code, int value)
    {
        libevdev_uinput_write_event(m_uinput, type, code, value);
    }

    libevdev *m_device;
    libevdev_uinput *m_uinput = nullptr;
    int m_lastTrackingID = 0;
};

// Opt-in: runs only where /dev/uinput may be written (CI has none).
TEST(MiddleClickUinputTest, AThreeFingerClickOnAVirtualTouchpadArrivesAsAMiddleClick)
{
    if (::access("/dev/uinput", W_OK) != 0)
        GTEST_SKIP() << "/dev/uinput is missing or not writable here, so no virtual touchpad can be made; "
                        "the three-finger click is covered by the fake devices only";
    QString why;
    const std::unique_ptr<VirtualTouchpad> pad = VirtualTouchpad::create(why);
    if (!pad)
        GTEST_SKIP() << why.toStdString();
    if (!pad->waitUntilTouchpad())
        GTEST_SKIP() << "udev did not class the virtual device as a touchpad (no udevd here)";

    ButtonRecorder window;
    ASSERT_TRUE(window.showUnderPointer());

    EvdevTouchDevices devices;
    x11::X11ClickConverter converter;
    FakeSystemSleep sleep;
    FakeAccessibility accessibility;
    MiddleClickService service(devices, converter, sleep, accessibility);
    service.setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.state() == MiddleClickService::State::active; }, 5000));
    ASSERT_EQ(service.unreadableDevices(), 0);

    const auto clickWithPad = [&] {
        return window.pressAfter([&] {
            const qsizetype before = window.pressed.size();
            pad->press(true);
            // An X server that reads the kernel's devices gets the press from
            // the pad; Xvfb reads none, so its XTest pointer presses in the
            // pad's place while the pad's button is down, through the same
            // button maps.
            const bool standIn = !QTest::qWaitFor([&] { return window.hasPressesAfter(before); }, 500);
            if (standIn)
                runCommand(QStringLiteral("xdotool mousedown 1"));
            pad->press(false);
            if (standIn)
                runCommand(QStringLiteral("xdotool mouseup 1"));
        });
    };

    pad->rest(3);
    QTest::qWait(200); // the reader remaps as the fingers land
    EXPECT_EQ(clickWithPad(), Qt::MiddleButton);
    pad->rest(0);
    QTest::qWait(200);
    EXPECT_EQ(clickWithPad(), Qt::LeftButton) << "an ordinary click once the fingers are up";

    service.setEnabled(false);
    EXPECT_EQ(service.state(), MiddleClickService::State::off);
}

} // namespace
