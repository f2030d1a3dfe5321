#include "platform/x11/X11ContentProbe.h"

#include "platform/x11/X11Event.h"
#include "platform/x11/X11Reply.h"

#include <QHashFunctions>

#include <algorithm>

namespace tamo::x11 {

namespace {

constexpr qint64 intervalMs = 800;
// An owner that takes longer than this to answer is not asked again.
constexpr qint64 silenceMs = 2000;
// Asked at most this often in the time it takes to answer.
constexpr qint64 slowdownFactor = 20;
constexpr char probeProperty[] = "TAMO_CLIPBOARD_PROBE";

} // namespace

quint64 X11ContentProbe::digestOf(const QByteArray &bytes)
{
    return (quint64(qHash(bytes, 0x9e3779b9)) << 32) ^ quint64(bytes.size());
}

X11ContentProbe::X11ContentProbe(xcb_connection_t *xcb, uint32_t root, uint32_t selection)
    : m_xcb(xcb), m_root(root), m_selection(selection)
{
    m_clock.start();
    m_property = atom(probeProperty);
    createWindow();
}

X11ContentProbe::~X11ContentProbe()
{
    xcb_destroy_window(m_xcb, m_window);
    xcb_flush(m_xcb);
}

uint32_t X11ContentProbe::atom(const QByteArray &name)
{
    if (const auto known = m_atoms.constFind(name); known != m_atoms.cend())
        return *known;
    const auto reply =
        replyTo<xcb_intern_atom_reply>(m_xcb, xcb_intern_atom(m_xcb, false, uint16_t(name.size()), name.constData()));
    const uint32_t value = reply ? reply->atom : uint32_t(XCB_ATOM_NONE);
    m_atoms.insert(name, value);
    return value;
}

void X11ContentProbe::createWindow()
{
    m_window = xcb_generate_id(m_xcb);
    xcb_create_window(m_xcb, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
}

void X11ContentProbe::follow(const Text &text, uint32_t time)
{
    m_targetAtom = atom(text.target);
    m_following = m_targetAtom != XCB_ATOM_NONE && m_property != XCB_ATOM_NONE;
    m_text = text;
    m_time = time;
    m_intervalMs = intervalMs;
    m_nextAskMs = m_clock.elapsed() + m_intervalMs;
    m_askedAtMs = -1;
}

void X11ContentProbe::stop()
{
    m_following = false;
}

int X11ContentProbe::msUntilDue() const
{
    if (!m_following)
        return -1;
    const qint64 due = m_askedAtMs >= 0 ? m_askedAtMs + silenceMs : m_nextAskMs;
    return int(std::clamp<qint64>(due - m_clock.elapsed(), 0, silenceMs));
}

void X11ContentProbe::runDue()
{
    if (!m_following || msUntilDue() > 0)
        return;
    if (m_askedAtMs >= 0) { // no answer in time
        m_following = false;
        return;
    }
    m_askedAtMs = m_clock.elapsed();
    xcb_convert_selection(m_xcb, m_window, m_selection, m_targetAtom, m_property, m_time);
    xcb_flush(m_xcb);
}

bool X11ContentProbe::changedBy(const xcb_generic_event_t &event)
{
    const auto *notice = eventAs<xcb_selection_notify_event_t>(event, XCB_SELECTION_NOTIFY);
    if (!notice || notice->requestor != m_window || !m_following || m_askedAtMs < 0)
        return false;
    const qint64 answerMs = m_clock.elapsed() - std::exchange(m_askedAtMs, -1);
    m_intervalMs = std::max(intervalMs, answerMs * slowdownFactor);
    m_nextAskMs = m_clock.elapsed() + m_intervalMs;
    if (notice->property == XCB_ATOM_NONE) { // refused: it has no such text any more
        m_following = false;
        return false;
    }
    const auto reply = replyTo<xcb_get_property_reply>(
        m_xcb, xcb_get_property(m_xcb, false, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, maxBytes / 4 + 1));
    if (!reply) {
        m_following = false;
        return false;
    }
    if (reply->type == atom("INCR")) {
        // Sent in increments, which cannot be told apart without reading
        // them all: not asked again. Its property is left, so the owner
        // sends nothing, and a new window keeps its transfer from the next.
        m_following = false;
        xcb_destroy_window(m_xcb, m_window);
        createWindow();
        return false;
    }
    xcb_delete_property(m_xcb, m_window, m_property);
    xcb_flush(m_xcb);
    const int length = xcb_get_property_value_length(reply.get());
    const bool changed =
        reply->bytes_after > 0
        || digestOf(QByteArray::fromRawData(static_cast<const char *>(xcb_get_property_value(reply.get())), length))
               != m_text.digest;
    if (changed)
        m_following = false;
    return changed;
}

} // namespace tamo::x11
