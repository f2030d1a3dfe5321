#pragma once

#include "platform/TouchDevices.h"

#include <QByteArray>

#include <atomic>
#include <vector>

struct xcb_connection_t;

namespace tamo::x11 {

// Converts clicks by giving every pointer's left and right buttons the middle
// button's number while three fingers rest (the server refuses a new map
// while a button is held, which keeps a press and its release alike), and
// posts middle clicks with XTest. Uses a connection of its own: xcb may be
// called from the devices' reader thread.
class X11ClickConverter final : public ClickConverter
{
public:
    X11ClickConverter();
    ~X11ClickConverter() override;

    bool install() override;
    void remove() override;
    bool isInstalled() const override { return m_installed; }
    bool tapToClick() const override;
    bool setMiddleButtons(bool on) override;
    void postMiddleClick() override;

private:
    struct Pointer
    {
        uint8_t id = 0;
        QByteArray originalMap;
    };

    QList<uint16_t> slavePointers() const;
    QByteArray property(uint16_t device, const char *name) const;
    bool setMap(const Pointer &pointer, const QByteArray &map);

    xcb_connection_t *m_connection = nullptr;
    std::vector<Pointer> m_pointers;
    std::atomic<bool> m_installed = false;
};

// Whether a three-finger tap needs a middle click posted for it, from the
// pointer's "libinput Tapping Enabled" and "Synaptics Tap Action" (empty
// where the driver has no such property): only where the driver taps clicks
// but gives three fingers no button of its own, as synaptics' Tap Action can.
// A libinput touchpad that taps always gives one, the middle button with its
// "lrm" map and the right one with "lmr", so a posted click would be a second.
bool threeFingerTapNeedsClick(const QByteArray &libinputTapping, const QByteArray &synapticsTapAction);

} // namespace tamo::x11
