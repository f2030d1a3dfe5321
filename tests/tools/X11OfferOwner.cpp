// A clipboard owner serving a recorded offer, for the X11 tests: it owns
// CLIPBOARD with exactly the targets and bytes of an offer folder, prints
// "owned", then "sent <target>" for each target it gives.
//
//   <folder> [options]         each payload in one property, unless
//     increment <bytes>        each in increments (INCR) of that many bytes,
//                              as toolkits send large copies
//     first-answer-after <ms>  answering nothing until that long after it
//                              took the clipboard, as an app still starting
//     refuses-first <target>   refusing the first request for the target,
//                              as gvim does those that come while it claims
//                              the clipboard (may be given more than once)
//
// An offer folder (tests/platform/x11/offers/<app>-<what>/) holds:
//   TARGETS      the targets the app listed, one a line, in its order
//   <target>     for each target the app gave, its exact bytes; the file is
//                named after the target with '%' written %25, then '/'
//                written %2F. A listed target without a file is refused.
//   .types       optional "<target>\t<type>\t<format>" lines: the property
//                type and format the app answered with (GTK answers TEXT as
//                COMPOUND_TEXT); a target not named goes as its own type, 8-bit
// Other names starting with '.' (.note: what was copied) are for people.
#include "SelectionOwning.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace tamo::tools;

namespace {

xcb_connection_t *c;

struct Payload
{
    std::string bytes;
    xcb_atom_t type = XCB_ATOM_NONE;
    uint8_t format = 8;
};

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty())
            result.push_back(line);
    }
    return result;
}

bool readFile(const std::string &path, std::string &bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

// A target's file: its name with '%' and '/' percent-encoded.
std::string fileName(const std::string &target)
{
    std::string name;
    for (const char ch : target) {
        if (ch == '%')
            name += "%25";
        else if (ch == '/')
            name += "%2F";
        else
            name += ch;
    }
    return name;
}

// Replaces the property with `bytes`, appended in requests the server takes.
void setProperty(xcb_window_t window, xcb_atom_t property, const Payload &payload, const std::string &bytes)
{
    const size_t unit = payload.format / 8;
    const size_t most = (size_t(xcb_get_maximum_request_length(c)) * 4 - 32) / 4 * 4;
    size_t offset = 0;
    do {
        const size_t length = std::min(most, bytes.size() - offset);
        xcb_change_property(c, offset == 0 ? XCB_PROP_MODE_REPLACE : XCB_PROP_MODE_APPEND, window, property,
                            payload.type, payload.format, uint32_t(length / unit), bytes.data() + offset);
        offset += length;
    } while (offset < bytes.size());
    xcb_flush(c);
}

void sendIncrements(const xcb_selection_request_event_t &request, xcb_atom_t property, const Payload &payload,
                    size_t increment, xcb_atom_t incr)
{
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &events);
    const uint32_t size = uint32_t(std::min<size_t>(payload.bytes.size(), UINT32_MAX));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property, incr, 32, 1, &size);
    notifyRequestor(c, request, property);
    for (size_t sent = 0;;) {
        waitForDeletion(c, property);
        const std::string piece = payload.bytes.substr(sent, increment);
        setProperty(request.requestor, property, payload, piece);
        if (piece.empty())
            break;
        sent += piece.size();
    }
    const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &none);
    xcb_flush(c);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const std::string folder = argv[1];
    size_t increment = 0;
    std::chrono::milliseconds firstAnswer{0};
    std::set<std::string> refusedOnce;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "increment")
            increment = std::strtoul(argv[i + 1], nullptr, 10);
        else if (option == "first-answer-after")
            firstAnswer = std::chrono::milliseconds(std::strtoul(argv[i + 1], nullptr, 10));
        else if (option == "refuses-first")
            refusedOnce.insert(argv[i + 1]);
        else
            return 2;
    }
    std::string listing;
    if (!readFile(folder + "/TARGETS", listing))
        return 2;
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;

    // The type and format each payload was given, where recorded.
    std::map<std::string, std::pair<std::string, int>> recordedTypes;
    if (std::string types; readFile(folder + "/.types", types)) {
        for (const std::string &line : lines(types)) {
            std::istringstream fields(line);
            std::string target, type;
            int format = 8;
            if (std::getline(fields, target, '\t') && std::getline(fields, type, '\t') && fields >> format)
                recordedTypes[target] = {type, format};
        }
    }
    const xcb_atom_t targetsAtom = internAtom(c, "TARGETS");
    const xcb_atom_t incr = internAtom(c, "INCR");
    std::vector<xcb_atom_t> offered;
    std::map<xcb_atom_t, std::pair<std::string, Payload>> payloads;
    for (const std::string &target : lines(listing)) {
        const xcb_atom_t targetAtom = internAtom(c, target);
        offered.push_back(targetAtom);
        Payload payload;
        if (!readFile(folder + "/" + fileName(target), payload.bytes))
            continue;
        const auto recorded = recordedTypes.find(target);
        payload.type = recorded == recordedTypes.end() ? targetAtom : internAtom(c, recorded->second.first);
        payload.format = recorded == recordedTypes.end() ? 8 : uint8_t(recorded->second.second);
        payloads[targetAtom] = {target, payload};
    }

    ownClipboard(c);
    const auto answersFrom = std::chrono::steady_clock::now() + firstAnswer;

    while (xcb_generic_event_t *event = xcb_wait_for_event(c)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_CLEAR)
            return 0;
        if (type == XCB_SELECTION_REQUEST) {
            std::this_thread::sleep_until(answersFrom);
            const auto request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
            // Clients before ICCCM 2 name no property: the target is one.
            const xcb_atom_t property = request.property != XCB_ATOM_NONE ? request.property : request.target;
            const auto payload = payloads.find(request.target);
            if (request.target == targetsAtom) {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32,
                                    uint32_t(offered.size()), offered.data());
                notifyRequestor(c, request, property);
                std::printf("sent TARGETS\n");
                std::fflush(stdout);
            } else if (payload == payloads.end() || refusedOnce.erase(payload->second.first) > 0) {
                notifyRequestor(c, request, XCB_ATOM_NONE);
            } else {
                const auto &[name, data] = payload->second;
                if (increment > 0) {
                    sendIncrements(request, property, data, increment, incr);
                } else {
                    setProperty(request.requestor, property, data, data.bytes);
                    notifyRequestor(c, request, property);
                }
                std::printf("sent %s\n", name.c_str());
                std::fflush(stdout);
            }
        }
        std::free(event);
    }
    return 1;
}
