#include "platform/x11/X11ClickConverter.h"

#include "platform/x11/X11Reply.h"

#include <QThread>

#include <algorithm>

#include <xcb/xinput.h>
#include <xcb/xtest.h>

namespace tamo::x11 {

namespace {

constexpr uint8_t middleButton = 2;
constexpr int restoreAttempts = 40;
constexpr int restoreRetryMs = 50;

} // namespace

X11ClickConverter::X11ClickConverter()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
}

X11ClickConverter::~X11ClickConverter()
{
    remove();
    if (m_connection)
        xcb_disconnect(m_connection);
}

QList<uint16_t> X11ClickConverter::slavePointers() const
{
    QList<uint16_t> pointers;
    const auto reply = replyTo<xcb_input_xi_query_device_reply>(
        m_connection, xcb_input_xi_query_device(m_connection, XCB_INPUT_DEVICE_ALL));
    if (!reply)
        return pointers;
    for (auto info = xcb_input_xi_query_device_infos_iterator(reply.get()); info.rem; xcb_input_xi_device_info_next(&info)) {
        if (info.data->type == XCB_INPUT_DEVICE_TYPE_SLAVE_POINTER)
            pointers.append(info.data->deviceid);
    }
    return pointers;
}

QByteArray X11ClickConverter::property(uint16_t device, const char *name) const
{
    const auto atom = replyTo<xcb_intern_atom_reply>(m_connection, xcb_intern_atom(m_connection, true, qstrlen(name), name));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return {};
    const auto reply = replyTo<xcb_input_xi_get_property_reply>(
        m_connection, xcb_input_xi_get_property(m_connection, device, false, atom->atom, XCB_ATOM_ANY, 0, 16));
    if (!reply || reply->format != 8)
        return {};
    const auto *items = static_cast<const char *>(xcb_input_xi_get_property_items(reply.get()));
    return QByteArray(items, reply->num_items);
}

bool X11ClickConverter::tapToClick() const
{
    if (!m_connection)
        return false;
    const QList<uint16_t> pointers = slavePointers();
    return std::any_of(pointers.cbegin(), pointers.cend(), [this](uint16_t pointer) {
        return threeFingerTapNeedsClick(property(pointer, "libinput Tapping Enabled"),
                                        property(pointer, "Synaptics Tap Action"));
    });
}

bool threeFingerTapNeedsClick(const QByteArray &libinputTapping, const QByteArray &synapticsTapAction)
{
    if (!libinputTapping.isEmpty())
        return false;
    // Corner taps, then the one-, two- and three-finger taps' buttons.
    constexpr qsizetype oneFinger = 4, threeFingers = 6;
    return synapticsTapAction.size() > threeFingers && synapticsTapAction.at(oneFinger) != 0
           && synapticsTapAction.at(threeFingers) == 0;
}

bool X11ClickConverter::install()
{
    if (m_installed)
        return true;
    if (!m_connection || !xcb_get_extension_data(m_connection, &xcb_test_id)->present)
        return false;
    const auto version = replyTo<xcb_input_xi_query_version_reply>(
        m_connection, xcb_input_xi_query_version(m_connection, 2, 2));
    if (!version || version->major_version < 2)
        return false;
    m_pointers.clear();
    for (const uint16_t id : slavePointers()) {
        const auto map = replyTo<xcb_input_get_device_button_mapping_reply>(
            m_connection, xcb_input_get_device_button_mapping(m_connection, uint8_t(id)));
        if (map && map->map_size >= 3) {
            const auto *buttons = reinterpret_cast<const char *>(xcb_input_get_device_button_mapping_map(map.get()));
            m_pointers.push_back(Pointer{uint8_t(id), QByteArray(buttons, map->map_size)});
        }
    }
    m_installed = true;
    return true;
}

void X11ClickConverter::remove()
{
    if (!m_installed)
        return;
    m_installed = false;
    for (const Pointer &pointer : m_pointers) {
        // A held button makes the server refuse; it is let go soon.
        for (int attempt = 0; attempt < restoreAttempts && !setMap(pointer, pointer.originalMap); ++attempt)
            QThread::msleep(restoreRetryMs);
    }
    m_pointers.clear();
}

bool X11ClickConverter::setMap(const Pointer &pointer, const QByteArray &map)
{
    const auto reply = replyTo<xcb_input_set_device_button_mapping_reply>(
        m_connection, xcb_input_set_device_button_mapping(m_connection, pointer.id, uint8_t(map.size()),
                                                          reinterpret_cast<const uint8_t *>(map.constData())));
    // A pointer that went away needs no map.
    return !reply || reply->status == XCB_MAPPING_STATUS_SUCCESS;
}

bool X11ClickConverter::setMiddleButtons(bool on)
{
    bool accepted = true;
    for (const Pointer &pointer : m_pointers) {
        QByteArray map = pointer.originalMap;
        if (on) {
            map[0] = char(middleButton);
            map[2] = char(middleButton);
        }
        accepted = setMap(pointer, map) && accepted;
    }
    return accepted;
}

void X11ClickConverter::postMiddleClick()
{
    if (!m_connection)
        return;
    xcb_test_fake_input(m_connection, XCB_BUTTON_PRESS, middleButton, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(m_connection, XCB_BUTTON_RELEASE, middleButton, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(m_connection);
}

} // namespace tamo::x11
