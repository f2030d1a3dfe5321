// A clipboard owner that is hard on its readers, for the X11 tests. It owns
// CLIPBOARD with one UTF8_STRING text, prints "owned", then:
//
//   silent <text>                     lists its targets, never sends the
//                                     text, prints "asked" when asked for it
//   hold <text>                       sends the text once a line came on stdin
//   targets <count> <text>            lists <count> targets, the text's first
//   incr <bytes> <chunk> <pause-ms>   sends <bytes> of text in increments of
//        [quit]                       <chunk>, pausing before each; with quit,
//                                     exits the moment the last one is out
//   slow <pause-ms> <text>            lists four text targets and answers
//                                     each request after the pause, giving
//                                     the text only as STRING
#include "SelectionOwning.h"

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using namespace tamo::tools;

namespace {

xcb_connection_t *c;
xcb_atom_t targets, utf8, incr, latin1;
std::vector<xcb_atom_t> slowTargets;

void sendTargets(const xcb_selection_request_event_t &request, size_t count)
{
    // The text's target first, then predefined atoms over and over.
    std::vector<xcb_atom_t> list{targets, utf8};
    if (!slowTargets.empty())
        list = slowTargets;
    for (size_t i = list.size(); i < count; ++i)
        list.push_back(xcb_atom_t(1 + i % 68));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property, XCB_ATOM_ATOM, 32,
                        uint32_t(list.size()), list.data());
    notifyRequestor(c, request, request.property);
}

void sendText(const xcb_selection_request_event_t &request, const std::string &text)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property, request.target, 8,
                        uint32_t(text.size()), text.data());
    notifyRequestor(c, request, request.property);
}

// The letters from `offset` on, made as they are sent: an endless copy
// costs this process one chunk.
std::string letters(size_t offset, size_t length)
{
    std::string chunk(length, 'a');
    for (size_t i = 0; i < length; ++i)
        chunk[i] = char('a' + (offset + i) % 26);
    return chunk;
}

void sendIncrements(const xcb_selection_request_event_t &request, size_t total, size_t chunk, int pauseMs,
                    bool quit)
{
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &events);
    const uint32_t size = uint32_t(std::min<size_t>(total, UINT32_MAX));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property, incr, 32, 1, &size);
    notifyRequestor(c, request, request.property);
    for (size_t sent = 0;;) {
        waitForDeletion(c, request.property);
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        const std::string piece = letters(sent, std::min(chunk, total - sent));
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property, utf8, 8,
                            uint32_t(piece.size()), piece.data());
        xcb_flush(c);
        if (piece.empty())
            break;
        sent += piece.size();
    }
    if (quit)
        std::_Exit(0);
    const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &none);
    xcb_flush(c);
}

bool lineOnStdin()
{
    pollfd input{STDIN_FILENO, POLLIN, 0};
    return ::poll(&input, 1, 0) > 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    targets = internAtom(c, "TARGETS");
    utf8 = internAtom(c, "UTF8_STRING");
    incr = internAtom(c, "INCR");
    ownClipboard(c);

    const size_t targetCount = mode == "targets" ? std::strtoul(argv[2], nullptr, 10) : 2;
    const std::string text = (mode == "targets" || mode == "slow") && argc > 3 ? argv[3] : argv[2];
    latin1 = internAtom(c, "STRING");
    if (mode == "slow")
        slowTargets = {targets, internAtom(c, "text/plain;charset=utf-8"), utf8, internAtom(c, "text/plain"), latin1};
    const auto pause = std::chrono::milliseconds(mode == "slow" ? std::atoi(argv[2]) : 0);
    using Clock = std::chrono::steady_clock;
    std::vector<std::pair<Clock::time_point, xcb_selection_request_event_t>> delayed;
    std::vector<xcb_selection_request_event_t> held;
    bool released = false;
    const int fd = xcb_get_file_descriptor(c);
    for (;;) {
        pollfd inputs[2]{{fd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        int timeoutMs = -1;
        if (!delayed.empty()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(delayed.front().first - Clock::now());
            timeoutMs = int(std::max<long long>(0, wait.count()));
        }
        ::poll(inputs, mode == "hold" && !released ? 2 : 1, timeoutMs);
        if (mode == "hold" && !released && lineOnStdin()) {
            released = true;
            for (const auto &request : held)
                sendText(request, text);
            held.clear();
        }
        while (!delayed.empty() && delayed.front().first <= Clock::now()) {
            const xcb_selection_request_event_t request = delayed.front().second;
            delayed.erase(delayed.begin());
            if (request.target == targets)
                sendTargets(request, 0);
            else if (request.target == latin1)
                sendText(request, text);
            else
                notifyRequestor(c, request, XCB_ATOM_NONE);
        }
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_SELECTION_CLEAR)
                return 0;
            if (type == XCB_SELECTION_REQUEST) {
                const auto request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
                if (mode == "slow")
                    delayed.emplace_back(Clock::now() + pause, request);
                else if (request.target == targets)
                    sendTargets(request, targetCount);
                else if (request.target != utf8)
                    notifyRequestor(c, request, XCB_ATOM_NONE);
                else if (mode == "hold" && !released)
                    held.push_back(request);
                else if (mode == "incr")
                    sendIncrements(request, std::strtoull(argv[2], nullptr, 10), std::strtoul(argv[3], nullptr, 10),
                                   std::atoi(argv[4]), argc > 5 && std::string(argv[5]) == "quit");
                else if (mode != "silent")
                    sendText(request, text);
                else {
                    std::printf("asked\n");
                    std::fflush(stdout);
                }
            }
            std::free(event);
        }
        if (xcb_connection_has_error(c))
            return 1;
    }
}
