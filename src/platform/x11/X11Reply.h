#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <type_traits>

namespace tamo::x11 {

template<typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

// Waits for the reply to a request. An error (a window that vanished
// meanwhile, say) gives a null reply and is dropped here, so it does not reach
// Qt's event queue as a logged X error.
template<auto replyFunction, typename Cookie>
auto replyTo(xcb_connection_t *connection, Cookie cookie)
{
    xcb_generic_error_t *error = nullptr;
    auto *reply = replyFunction(connection, cookie, &error);
    std::free(error);
    return ReplyPtr<std::remove_pointer_t<decltype(reply)>>(reply, &std::free);
}

} // namespace tamo::x11
