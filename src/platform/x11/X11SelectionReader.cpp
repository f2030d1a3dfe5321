#include "platform/x11/X11SelectionReader.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Event.h"
#include "platform/x11/X11Reply.h"

#include <QDebug>
#include <QScopeGuard>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace tamo::x11 {

namespace {

// Where owners put what we ask for, on our own window.
constexpr char transferProperty[] = "TAMO_CLIPBOARD_TRANSFER";

using EventPtr = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;

// How long a connection waits for the answer of a read that stopped waiting,
// and how many wait at once: owners that never answer must not use up the
// server's connections.
constexpr qint64 lingerMs = 30'000;
constexpr int mostLingering = 16;
std::atomic<int> lingering = 0;

// A read that stops waiting (given up, its copy replaced, the app quitting)
// may leave a request with an owner, which still answers on our window. Had
// the window gone, an owner that dies of the error would take its copy with
// it (Xlib's default handler ends xclip so); the request may even have
// reached the next copy's owner. So the connection, and its window, go only
// once the owner has put what it was asked for, on a thread of their own.
void closeOnceAnswered(xcb_connection_t *xcb, uint32_t window, uint32_t property, bool chunk)
{
    if (++lingering > mostLingering) {
        --lingering;
        xcb_disconnect(xcb);
        return;
    }
    const auto answered = [=](const xcb_generic_event_t &e) {
        if (chunk) {
            const auto *change = eventAs<xcb_property_notify_event_t>(e, XCB_PROPERTY_NOTIFY);
            return change && change->window == window && change->atom == property
                   && change->state == XCB_PROPERTY_NEW_VALUE;
        }
        const auto *notice = eventAs<xcb_selection_notify_event_t>(e, XCB_SELECTION_NOTIFY);
        return notice && notice->requestor == window;
    };
    std::thread([=] {
        QElapsedTimer clock;
        clock.start();
        for (qint64 left = lingerMs; left > 0 && !xcb_connection_has_error(xcb); left = lingerMs - clock.elapsed()) {
            const EventPtr event(xcb_poll_for_event(xcb), &std::free);
            if (event && answered(*event))
                break;
            if (!event) {
                pollfd input{xcb_get_file_descriptor(xcb), POLLIN, 0};
                ::poll(&input, 1, int(left));
            }
        }
        xcb_disconnect(xcb);
        --lingering;
    }).detach();
}

// An app busy starting (LibreOffice) may take seconds to answer its first
// requests, then answers each in a few milliseconds: a request it left
// unanswered is made again this many times, each wait twice the one before.
constexpr int slowOwnerRetries = 2;

} // namespace

template<typename Matches>
auto X11SelectionReader::waitFor(Matches matches, std::chrono::milliseconds silence)
{
    const qint64 silenceEndsMs = m_clock.elapsed() + silence.count();
    for (;;) {
        EventPtr event(xcb_poll_for_event(m_xcb), &std::free);
        if (!event) {
            if (!waitForInput(silenceEndsMs))
                return EventPtr(nullptr, &std::free);
            continue;
        }
        if (matches(*event))
            return event;
    }
}
X11SelectionReader::X11SelectionReader(QByteArray selection, uint32_t owner, const QStringList &wanted,
                                       Limits limits)
    : m_selectionName(std::move(selection))
    , m_owner(owner)
    , m_wanted(wanted)
    , m_limits(limits)
{
}

X11SelectionReader::~X11SelectionReader()
{
    disconnect();
}

// Opens the connection a read needs, once per read; the budget for the
// whole copy starts with the first.
bool X11SelectionReader::connect()
{
    if (m_xcb)
        return m_window != 0;
    if (m_cancelled)
        return false;
    if (!m_clock.isValid())
        m_clock.start();
    {
        const QMutexLocker lock(&m_wakeLock);
        m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    m_xcb = connectOwn(&m_root);
    if (!m_xcb || !internAtoms())
        return false;

    const uint32_t window = xcb_generate_id(m_xcb);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_xcb, XCB_COPY_FROM_PARENT, window, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    // Owners may refuse requests stamped CurrentTime: take the server's time
    // from a property change of our own.
    xcb_change_property(m_xcb, XCB_PROP_MODE_APPEND, window, m_property, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(m_xcb);
    const EventPtr stamp = waitFor([&](const xcb_generic_event_t &e) {
        const auto *change = eventAs<xcb_property_notify_event_t>(e, XCB_PROPERTY_NOTIFY);
        return change && change->window == window;
    }, m_limits.silence);
    if (!stamp)
        return false;
    m_time = reinterpret_cast<const xcb_property_notify_event_t *>(stamp.get())->time;
    m_window = window;
    return true;
}

// Atoms outlive connections: asked for once, every one in one round trip.
bool X11SelectionReader::internAtoms()
{
    if (m_selection)
        return true;
    QList<QByteArray> names{m_selectionName, "TARGETS", "INCR", transferProperty};
    for (const QString &target : m_wanted)
        names.append(target.toLatin1());
    QList<xcb_intern_atom_cookie_t> cookies;
    for (const QByteArray &name : names)
        cookies.append(xcb_intern_atom(m_xcb, false, uint16_t(name.size()), name.constData()));
    QList<uint32_t> atoms;
    for (const xcb_intern_atom_cookie_t cookie : cookies) {
        const auto reply = replyTo<xcb_intern_atom_reply>(m_xcb, cookie);
        atoms.append(reply ? reply->atom : uint32_t(XCB_ATOM_NONE));
    }
    if (!atoms[0] || !atoms[1] || !atoms[3])
        return false;
    m_targetsAtom = atoms[1];
    m_incr = atoms[2];
    m_property = atoms[3];
    for (qsizetype i = 0; i < m_wanted.size(); ++i)
        m_wantedByAtom.insert(atoms[4 + i], m_wanted[i]);
    m_selection = atoms[0];
    return true;
}

// Our window goes with the connection: at once when the owner has nothing
// more to put there, else once it has.
void X11SelectionReader::disconnect()
{
    if (m_xcb && m_awaiting != Awaiting::nothing)
        closeOnceAnswered(m_xcb, m_window, m_property, m_awaiting == Awaiting::chunk);
    else if (m_xcb)
        xcb_disconnect(m_xcb);
    m_xcb = nullptr;
    m_awaiting = Awaiting::nothing;
    m_window = 0;
    const QMutexLocker lock(&m_wakeLock);
    if (m_wake >= 0)
        ::close(m_wake);
    m_wake = -1;
}

void X11SelectionReader::cancel()
{
    m_cancelled = true;
    const QMutexLocker lock(&m_wakeLock);
    if (m_wake >= 0)
        ::eventfd_write(m_wake, 1);
}

bool X11SelectionReader::stopped()
{
    if (!m_gaveUp && m_clock.isValid() && m_clock.elapsed() >= m_limits.budget.count())
        giveUp("its contents took longer than the copy's time to be read");
    return m_gaveUp || m_superseded || m_cancelled;
}

QStringList X11SelectionReader::targets()
{
    const auto closing = qScopeGuard([this] { disconnect(); });
    return listTargets();
}

QStringList X11SelectionReader::listTargets()
{
    if (m_targets)
        return *m_targets;
    m_targets.emplace();
    if (!connect())
        return {};
    const auto atoms = convert(m_targetsAtom, m_limits.maxTargets * 4);
    if (!atoms)
        return {};
    const auto *values = reinterpret_cast<const uint32_t *>(atoms->bytes.constData());
    const qsizetype count = std::min<qsizetype>(atoms->bytes.size() / 4, m_limits.maxTargets);
    for (qsizetype i = 0; i < count; ++i) {
        const auto wanted = m_wantedByAtom.constFind(values[i]);
        if (wanted != m_wantedByAtom.cend() && !m_targets->contains(*wanted))
            m_targets->append(*wanted);
    }
    return *m_targets;
}

std::optional<X11SelectionReader::Transfer> X11SelectionReader::transferOfTarget(const QString &target,
                                                                                qsizetype maxBytes)
{
    const auto closing = qScopeGuard([this] { disconnect(); });
    if (!listTargets().contains(target) || m_gaveUp || !connect())
        return std::nullopt;
    return convert(m_wantedByAtom.key(target), maxBytes);
}

std::optional<X11SelectionReader::Start> X11SelectionReader::readStart(const QString &target, qsizetype maxBytes)
{
    std::optional<Transfer> transfer = transferOfTarget(target, std::min(maxBytes, m_limits.maxBytes));
    if (!transfer)
        return std::nullopt;
    return Start{std::move(transfer->bytes), transfer->overflowed};
}

std::optional<QByteArray> X11SelectionReader::read(const QString &target)
{
    std::optional<Transfer> transfer = transferOfTarget(target, m_limits.maxBytes);
    if (!transfer)
        return std::nullopt;
    if (transfer->overflowed) {
        qWarning().noquote() << QStringLiteral("TamoCove: left out a copy's %1, larger than %2 MB")
                                    .arg(target)
                                    .arg(m_limits.maxBytes / (1024 * 1024));
        return std::nullopt;
    }
    return std::move(transfer->bytes);
}

// Asks the owner for `target` and takes what it puts on our window, at most
// `maxBytes` of it.
std::optional<X11SelectionReader::Transfer> X11SelectionReader::convert(uint32_t target, qsizetype maxBytes)
{
    std::optional<Transfer> transfer = transferOf(target, maxBytes);
    // Asked after the answer came: had another owner come before our
    // request, it would show now. No owner is no other owner: one that quit
    // right after sending still made its copy.
    if (const uint32_t owner = m_superseded ? m_owner : currentOwner(); owner != m_owner && owner != XCB_WINDOW_NONE)
        m_superseded = true;
    if (m_superseded)
        return std::nullopt;
    return transfer;
}

std::optional<X11SelectionReader::Transfer> X11SelectionReader::transferOf(uint32_t target, qsizetype maxBytes)
{
    if (m_gaveUp || m_superseded || m_cancelled)
        return std::nullopt;
    const std::optional<uint32_t> answer = answerTo(target);
    if (!answer) {
        if (!m_cancelled)
            giveUp("the app that owns the clipboard did not answer in time");
        return std::nullopt;
    }
    if (*answer == XCB_ATOM_NONE)
        return std::nullopt; // refused, or no owner

    const uint32_t words = uint32_t(std::min<qsizetype>(maxBytes / 4 + 1, UINT32_MAX / 4));
    const auto reply = replyTo<xcb_get_property_reply>(
        m_xcb, xcb_get_property(m_xcb, false, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, words));
    if (!reply)
        return std::nullopt;
    if (reply->type == m_incr) {
        // The size is a lower bound, and some owners leave it out.
        const bool sized = xcb_get_property_value_length(reply.get()) >= 4;
        return readIncrements(maxBytes, sized ? *static_cast<const quint32 *>(xcb_get_property_value(reply.get())) : 0);
    }
    xcb_delete_property(m_xcb, m_window, m_property);
    Transfer transfer;
    const int length = xcb_get_property_value_length(reply.get());
    transfer.overflowed = reply->bytes_after > 0 || length > maxBytes;
    transfer.bytes = QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                                std::min<qsizetype>(length, maxBytes));
    return transfer;
}

// The property the owner put its answer for `target` on, XCB_ATOM_NONE when
// it refused; nothing once the copy's time ran out, or the owner stayed
// silent through every request or let another app take the clipboard. Its
// copy is the same while it keeps the clipboard: a newer one of its own
// cancels this read.
std::optional<uint32_t> X11SelectionReader::answerTo(uint32_t target)
{
    for (int attempt = 0;; ++attempt) {
        // Asked again from a new window: a late answer to the first request
        // goes to the old one, which waits for it apart, never into the new
        // transfer.
        if (attempt > 0) {
            disconnect();
            if (!connect())
                return std::nullopt;
        }
        xcb_delete_property(m_xcb, m_window, m_property);
        xcb_convert_selection(m_xcb, m_window, m_selection, target, m_property, m_time);
        xcb_flush(m_xcb);
        m_awaiting = Awaiting::answer;
        const EventPtr answer = waitFor([&](const xcb_generic_event_t &e) {
            const auto *notice = eventAs<xcb_selection_notify_event_t>(e, XCB_SELECTION_NOTIFY);
            return notice && notice->requestor == m_window && notice->selection == m_selection
                   && notice->target == target;
        }, m_limits.silence * (1 << attempt));
        if (answer) {
            m_awaiting = Awaiting::nothing;
            return reinterpret_cast<const xcb_selection_notify_event_t *>(answer.get())->property;
        }
        if (m_cancelled || attempt == slowOwnerRetries || m_clock.elapsed() >= m_limits.budget.count()
            || currentOwner() != m_owner)
            return std::nullopt;
    }
}

// The owner puts one chunk at a time on the property, each after we deleted
// the one before; an empty chunk ends the transfer. An owner that quits as
// soon as it sent that empty chunk may never have it reach us: the server
// drops what a client sent just before it hung up. Its copy is complete
// once it had all the bytes it announced.
std::optional<X11SelectionReader::Transfer> X11SelectionReader::readIncrements(qsizetype maxBytes,
                                                                              quint32 announcedBytes)
{
    const uint32_t owner = watchedOwner();
    xcb_delete_property(m_xcb, m_window, m_property); // asks for the first chunk
    xcb_flush(m_xcb);
    m_awaiting = Awaiting::chunk;
    Transfer transfer;
    for (;;) {
        const EventPtr event = waitFor([&](const xcb_generic_event_t &e) {
            const auto *change = eventAs<xcb_property_notify_event_t>(e, XCB_PROPERTY_NOTIFY);
            const auto *destroyed = eventAs<xcb_destroy_notify_event_t>(e, XCB_DESTROY_NOTIFY);
            return (change && change->window == m_window && change->atom == m_property
                    && change->state == XCB_PROPERTY_NEW_VALUE)
                   || (destroyed && owner && destroyed->window == owner);
        }, m_limits.silence);
        if (event)
            m_awaiting = Awaiting::nothing;
        if (event && eventAs<xcb_destroy_notify_event_t>(*event, XCB_DESTROY_NOTIFY)) {
            if (announcedBytes > 0 && transfer.bytes.size() >= qsizetype(announcedBytes))
                return transfer;
            qWarning().noquote() << "TamoCove: the app that owned the clipboard quit in the middle of a large copy";
            return std::nullopt;
        }
        if (!event) {
            if (!m_cancelled)
                giveUp("the app that owns the clipboard did not send a large copy in time");
            return std::nullopt;
        }
        const uint32_t words = uint32_t(std::min<qsizetype>((maxBytes - transfer.bytes.size()) / 4 + 1, UINT32_MAX / 4));
        const auto reply = replyTo<xcb_get_property_reply>(
            m_xcb, xcb_get_property(m_xcb, true, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, words));
        if (!reply)
            return std::nullopt;
        const int length = xcb_get_property_value_length(reply.get());
        if (length == 0 && reply->bytes_after == 0)
            return transfer;
        if (reply->bytes_after == 0)
            m_awaiting = Awaiting::chunk; // deleted as read: the owner sends the next
        if (reply->bytes_after > 0
            || !appendChunk(transfer, static_cast<const char *>(xcb_get_property_value(reply.get())), length,
                            maxBytes)) {
            // Left there, the chunk stops the owner; it ends the transfer itself.
            transfer.overflowed = true;
            return transfer;
        }
    }
}

// Grown by hand: a doubling array would reserve twice the cap before it is
// reached. False when the chunk would pass the cap.
bool X11SelectionReader::appendChunk(Transfer &transfer, const char *data, qsizetype length, qsizetype maxBytes)
{
    QByteArray &bytes = transfer.bytes;
    if (length > maxBytes - bytes.size())
        return false;
    const qsizetype needed = bytes.size() + length;
    if (needed > bytes.capacity())
        bytes.reserve(std::min(std::max(needed, bytes.capacity() * 2), maxBytes));
    bytes.append(data, length);
    return true;
}

uint32_t X11SelectionReader::currentOwner()
{
    const auto reply =
        replyTo<xcb_get_selection_owner_reply>(m_xcb, xcb_get_selection_owner(m_xcb, m_selection));
    return reply ? reply->owner : uint32_t(XCB_WINDOW_NONE);
}

// The window owning the clipboard, watched so that we learn when it goes.
uint32_t X11SelectionReader::watchedOwner()
{
    const uint32_t owner = currentOwner();
    if (owner == XCB_WINDOW_NONE)
        return XCB_WINDOW_NONE;
    const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_xcb, owner, XCB_CW_EVENT_MASK, &events);
    return owner;
}

bool X11SelectionReader::waitForInput(qint64 silenceEndsMs)
{
    if (xcb_connection_has_error(m_xcb) || m_cancelled)
        return false;
    const qint64 remainingMs = std::min(silenceEndsMs, qint64(m_limits.budget.count())) - m_clock.elapsed();
    if (remainingMs <= 0)
        return false;
    pollfd inputs[]{{xcb_get_file_descriptor(m_xcb), POLLIN, 0}, {m_wake, POLLIN, 0}};
    ::poll(inputs, m_wake >= 0 ? 2 : 1, int(remainingMs));
    return !m_cancelled;
}

void X11SelectionReader::giveUp(const char *reason)
{
    m_gaveUp = true;
    qWarning().noquote() << QStringLiteral("TamoCove: gave up reading a copy after %1 ms: %2")
                                .arg(m_clock.elapsed())
                                .arg(QLatin1String(reason));
}

} // namespace tamo::x11
