#include "platform/x11/X11Properties.h"

#include "platform/x11/X11Reply.h"

#include <xcb/res.h>

namespace tamo::x11 {

namespace {

constexpr uint32_t maxPropertyLength = 1 << 16; // in 32-bit units

// Null when unset, of another format, or the window is gone.
ReplyPtr<xcb_get_property_reply_t> readProperty(xcb_connection_t *connection, quint32 window, quint32 property,
                                                uint8_t format)
{
    if (!property || !window)
        return {nullptr, &std::free};
    auto reply = replyTo<xcb_get_property_reply>(
        connection, xcb_get_property(connection, false, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                                     maxPropertyLength));
    if (reply && reply->format != format)
        reply.reset();
    return reply;
}

} // namespace

quint32 X11Properties::atom(const QByteArray &name) const
{
    if (!m_connection)
        return XCB_ATOM_NONE;
    const auto cached = m_atoms.constFind(name);
    if (cached != m_atoms.cend())
        return *cached;
    const auto reply = replyTo<xcb_intern_atom_reply>(
        m_connection, xcb_intern_atom(m_connection, false, uint16_t(name.size()), name.constData()));
    if (!reply)
        return XCB_ATOM_NONE;
    m_atoms.insert(name, reply->atom);
    return reply->atom;
}

QList<quint32> X11Properties::numbers(quint32 window, const QByteArray &name) const
{
    const auto reply = readProperty(m_connection, window, atom(name), 32);
    if (!reply)
        return {};
    const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    return QList<quint32>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

QStringList X11Properties::strings(quint32 window, const QByteArray &name) const
{
    const auto reply = readProperty(m_connection, window, atom(name), 8);
    if (!reply)
        return {};
    QByteArray bytes(static_cast<const char *>(xcb_get_property_value(reply.get())),
                     xcb_get_property_value_length(reply.get()));
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    QStringList strings;
    for (const QByteArray &part : bytes.split('\0'))
        strings.append(reply->type == XCB_ATOM_STRING ? QString::fromLatin1(part) : QString::fromUtf8(part));
    return strings;
}

std::optional<qint64> clientProcessID(xcb_connection_t *connection, quint32 window)
{
    const xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    const auto reply =
        replyTo<xcb_res_query_client_ids_reply>(connection, xcb_res_query_client_ids(connection, 1, &spec));
    if (!reply)
        return std::nullopt;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem; xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID)
            && xcb_res_client_id_value_value_length(it.data) >= 1)
            return qint64(*xcb_res_client_id_value_value(it.data));
    }
    return std::nullopt;
}

QString toolkitDesktopId(const X11Properties &properties, quint32 window)
{
    const QString gtk = properties.strings(window, "_GTK_APPLICATION_ID").value(0);
    return gtk.isEmpty() ? properties.strings(window, "_KDE_NET_WM_DESKTOP_FILE").value(0) : gtk;
}

qint64 windowProcessID(const X11Properties &properties, xcb_connection_t *connection, quint32 window)
{
    if (const qint64 published = properties.numbers(window, "_NET_WM_PID").value(0))
        return published;
    return clientProcessID(connection, window).value_or(0);
}

} // namespace tamo::x11
