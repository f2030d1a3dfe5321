#pragma once

#include <QList>

#include <xcb/res.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <optional>

namespace tamo::testing {

// How many connections to the X server a process holds, as the server's
// X-Resource extension lists its clients; nothing when it cannot tell. The
// connection that asks is not counted.
inline std::optional<int> xClientsOf(qint64 pid)
{
    xcb_connection_t *xcb = xcb_connect(nullptr, nullptr);
    const auto closing = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>(xcb, &xcb_disconnect);
    if (xcb_connection_has_error(xcb))
        return std::nullopt;
    using ClientsReply = std::unique_ptr<xcb_res_query_clients_reply_t, decltype(&std::free)>;
    const ClientsReply clients(xcb_res_query_clients_reply(xcb, xcb_res_query_clients(xcb), nullptr), &std::free);
    if (!clients)
        return std::nullopt;
    QList<xcb_res_client_id_spec_t> specs;
    for (auto it = xcb_res_query_clients_clients_iterator(clients.get()); it.rem; xcb_res_client_next(&it))
        specs.append({it.data->resource_base, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID});
    using IdsReply = std::unique_ptr<xcb_res_query_client_ids_reply_t, decltype(&std::free)>;
    const IdsReply ids(xcb_res_query_client_ids_reply(
                           xcb, xcb_res_query_client_ids(xcb, uint32_t(specs.size()), specs.constData()), nullptr),
                       &std::free);
    if (!ids)
        return std::nullopt;
    int count = 0;
    for (auto it = xcb_res_query_client_ids_ids_iterator(ids.get()); it.rem; xcb_res_client_id_value_next(&it)) {
        if (xcb_res_client_id_value_value_length(it.data) >= 1 && *xcb_res_client_id_value_value(it.data) == pid)
            ++count;
    }
    return count - 1;
}

} // namespace tamo::testing
