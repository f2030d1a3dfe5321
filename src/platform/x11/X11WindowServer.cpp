#include "platform/x11/X11WindowServer.h"

#include "platform/Screens.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Event.h"
#include "platform/x11/X11Reply.h"

#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace tamo::x11 {

namespace {

constexpr quint32 allDesktops = 0xFFFFFFFF;
constexpr quint32 maxPropertyLongs = 1 << 16;
constexpr quint32 maxIconLongs = 1 << 20; // a few sizes of a large icon

// The properties read for every client in one pass, in this order.
const QByteArray clientProperties[] = {"_NET_WM_PID",  "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE",
                                       "_NET_WM_DESKTOP", "_NET_WM_WINDOW_OPACITY", "_NET_WM_NAME",
                                       "WM_NAME",      "WM_CLASS",            "_GTK_APPLICATION_ID",
                                       "_KDE_NET_WM_DESKTOP_FILE"};
enum PropertyIndex { Pid, Type, State, Desktop, Opacity, NetName, Name, Class, GtkId, KdeId, PropertyCount };

QList<quint32> longs(const xcb_get_property_reply_t *reply)
{
    if (!reply || reply->format != 32)
        return {};
    const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply));
    return QList<quint32>(values, values + xcb_get_property_value_length(reply) / 4);
}

QStringList strings(const xcb_get_property_reply_t *reply)
{
    if (!reply || reply->format != 8)
        return {};
    QByteArray bytes(static_cast<const char *>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    if (bytes.isEmpty())
        return {};
    QStringList result;
    for (const QByteArray &part : bytes.split('\0'))
        result.append(reply->type == XCB_ATOM_STRING ? QString::fromLatin1(part) : QString::fromUtf8(part));
    return result;
}

// The first string of a COMPOUND_TEXT property (xterm's titles), which
// only Xlib knows how to decode.
QString compoundText(Display *display, const xcb_get_property_reply_t *reply)
{
    if (!display || !reply || reply->format != 8)
        return {};
    XTextProperty property;
    property.value = static_cast<unsigned char *>(xcb_get_property_value(reply));
    property.encoding = reply->type;
    property.format = 8;
    property.nitems = xcb_get_property_value_length(reply);
    char **list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &property, &list, &count) < Success || !list)
        return {};
    const QString text = count > 0 ? QString::fromUtf8(list[0]) : QString();
    XFreeStringList(list);
    return text;
}

} // namespace

X11WindowServer::X11WindowServer(const X11Connection &connection, const X11ActiveWindow &activeWindow,
                                 const Screens &screens, const DesktopEntries &entries, QObject *parent)
    : WindowServer(parent)
    , m_connection(connection)
    , m_activeWindowWatch(activeWindow)
    , m_screens(screens)
    , m_properties(connection.xcb)
    , m_entries(entries)
{
    if (!m_connection.isValid())
        return;
    // The active-window watch has the root's property changes selected,
    // which brings the desktop switches too.
    m_activeWindow = activeWindow.activeWindow();
    connect(&activeWindow, &X11ActiveWindow::changed, this, &X11WindowServer::noteActiveWindow);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11WindowServer::~X11WindowServer()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

const X11WindowServer::Snapshot &X11WindowServer::snapshot() const
{
    if (m_snapshot)
        return *m_snapshot;
    m_snapshot.emplace();
    // Good for this turn of the event loop: one consistent picture for all
    // the questions one switcher build asks.
    QTimer::singleShot(0, this, [this] { m_snapshot.reset(); });
    if (!m_connection.isValid())
        return *m_snapshot;

    xcb_connection_t *c = m_connection.xcb;
    const quint32 root = m_connection.rootWindow;
    m_snapshot->activeWindow = m_properties.numbers(root, "_NET_ACTIVE_WINDOW").value(0);
    m_snapshot->currentDesktop = m_properties.numbers(root, "_NET_CURRENT_DESKTOP").value(0);
    const QList<quint32> numbers = m_properties.numbers(root, "_NET_CLIENT_LIST_STACKING");

    quint32 atoms[PropertyCount];
    for (int i = 0; i < PropertyCount; ++i)
        atoms[i] = m_properties.atom(clientProperties[i]);

    struct Pending
    {
        xcb_get_property_cookie_t properties[PropertyCount];
        xcb_get_geometry_cookie_t geometry;
        xcb_get_window_attributes_cookie_t attributes;
    };
    QList<Pending> pending(numbers.size());
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        for (int p = 0; p < PropertyCount; ++p)
            pending[i].properties[p] =
                xcb_get_property(c, false, numbers[i], atoms[p], XCB_GET_PROPERTY_TYPE_ANY, 0, maxPropertyLongs);
        pending[i].geometry = xcb_get_geometry(c, numbers[i]);
        pending[i].attributes = xcb_get_window_attributes(c, numbers[i]);
    }
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        Client client;
        client.number = numbers[i];
        ReplyPtr<xcb_get_property_reply_t> replies[PropertyCount] = {
            {nullptr, &std::free}, {nullptr, &std::free}, {nullptr, &std::free},
            {nullptr, &std::free}, {nullptr, &std::free}, {nullptr, &std::free},
            {nullptr, &std::free}, {nullptr, &std::free}, {nullptr, &std::free},
            {nullptr, &std::free}};
        for (int p = 0; p < PropertyCount; ++p)
            replies[p] = replyTo<xcb_get_property_reply>(c, pending[i].properties[p]);
        const auto geometry = replyTo<xcb_get_geometry_reply>(c, pending[i].geometry);
        const auto attributes = replyTo<xcb_get_window_attributes_reply>(c, pending[i].attributes);
        if (!attributes)
            continue; // gone meanwhile
        client.pid = longs(replies[Pid].get()).value(0);
        client.types = longs(replies[Type].get());
        client.states = longs(replies[State].get());
        if (const QList<quint32> desktop = longs(replies[Desktop].get()); !desktop.isEmpty())
            client.desktop = desktop.first();
        if (const QList<quint32> opacity = longs(replies[Opacity].get()); !opacity.isEmpty())
            client.alpha = opacity.first() / double(0xFFFFFFFFu);
        client.title = strings(replies[NetName].get()).value(0);
        if (client.title.isEmpty()) {
            const xcb_get_property_reply_t *name = replies[Name].get();
            const bool plain = name && (name->type == XCB_ATOM_STRING || name->type == m_properties.atom("UTF8_STRING"));
            client.title = plain ? strings(name).value(0) : compoundText(m_connection.display, name);
        }
        client.windowClass = strings(replies[Class].get());
        // As toolkitDesktopId() reads them, in one pass.
        client.toolkitId = strings(replies[GtkId].get()).value(0);
        if (client.toolkitId.isEmpty())
            client.toolkitId = strings(replies[KdeId].get()).value(0);
        if (geometry)
            client.size = QSizeF(geometry->width, geometry->height);
        client.mapped = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        m_snapshot->clients.append(client);
    }
    // Clients without _NET_WM_PID (xterm before it sets one, remote-less
    // toolkits) are named by the X-Resource extension.
    for (Client &client : m_snapshot->clients) {
        if (!client.pid)
            client.pid = clientProcessID(c, client.number).value_or(0);
    }
    return *m_snapshot;
}

const X11WindowServer::Client *X11WindowServer::client(quint32 number) const
{
    for (const Client &candidate : snapshot().clients) {
        if (candidate.number == number)
            return &candidate;
    }
    return nullptr;
}

bool X11WindowServer::has(const QList<quint32> &atoms, const QByteArray &name) const
{
    return atoms.contains(m_properties.atom(name));
}

bool X11WindowServer::isOnScreen(const Client &client, quint32 currentDesktop) const
{
    const bool onDesktop = !client.desktop || *client.desktop == allDesktops || *client.desktop == currentDesktop;
    return client.mapped && onDesktop && !has(client.states, "_NET_WM_STATE_HIDDEN");
}

QList<ServerWindow> X11WindowServer::windowList(bool onScreenOnly) const
{
    const Snapshot &now = snapshot();
    QList<ServerWindow> list;
    for (auto it = now.clients.crbegin(); it != now.clients.crend(); ++it) {
        const Client &client = *it;
        if (onScreenOnly && !isOnScreen(client, now.currentDesktop))
            continue;
        ServerWindow window;
        window.number = client.number;
        window.pid = client.pid;
        if (has(client.types, "_NET_WM_WINDOW_TYPE_DESKTOP"))
            window.layer = -1;
        else if (has(client.types, "_NET_WM_WINDOW_TYPE_DOCK"))
            window.layer = dockLevel;
        window.alpha = client.alpha;
        window.size = client.size;
        list.append(window);
    }
    return list;
}

AppWindow X11WindowServer::appWindow(const Client &client) const
{
    AppWindow window;
    window.number = client.number;
    window.title = client.title;
    window.minimized = has(client.states, "_NET_WM_STATE_HIDDEN");
    window.fullScreen = has(client.states, "_NET_WM_STATE_FULLSCREEN");
    window.size = client.size;
    // The window type stands for the kind of window; without one it is unknown.
    if (window.fullScreen)
        window.subrole = QStringLiteral("AXFullScreenWindow");
    else if (has(client.types, "_NET_WM_WINDOW_TYPE_NORMAL"))
        window.subrole = QStringLiteral("AXStandardWindow");
    else if (has(client.types, "_NET_WM_WINDOW_TYPE_DIALOG"))
        window.subrole = QStringLiteral("AXDialog");
    else if (!client.types.isEmpty())
        window.subrole = QStringLiteral("AXFloatingWindow");
    return window;
}

std::optional<QList<AppWindow>> X11WindowServer::appWindows(qint64 pid) const
{
    QList<AppWindow> windows;
    const QList<Client> &clients = snapshot().clients;
    for (auto it = clients.crbegin(); it != clients.crend(); ++it) {
        if (it->pid == pid)
            windows.append(appWindow(*it));
    }
    return windows;
}

std::optional<AppWindow> X11WindowServer::window(quint32 number) const
{
    const Client *found = client(number);
    return found ? std::optional(appWindow(*found)) : std::nullopt;
}

std::optional<bool> X11WindowServer::isOnAnyDesktop(quint32 number) const
{
    // A window the manager no longer manages is on no desktop; one without
    // a desktop number cannot be told.
    const Client *found = client(number);
    if (!found)
        return false;
    return found->desktop ? std::optional(true) : std::nullopt;
}

RunningApp X11WindowServer::runningApp(const Client &client) const
{
    RunningApp app;
    app.pid = client.pid;
    const AppTraits traits = AppTraits::ofWindow(client.toolkitId, client.windowClass, client.pid);
    app.info = m_entries.identify(traits);
    auto icon = m_iconsByPid.constFind(client.pid);
    if (icon == m_iconsByPid.cend()) {
        QIcon found = m_entries.match(traits) ? m_entries.icon(app.info.bundleID) : windowIcon(client.number);
        icon = m_iconsByPid.insert(client.pid, found);
    }
    app.icon = *icon;
    return app;
}

QList<RunningApp> X11WindowServer::runningApps() const
{
    QList<RunningApp> apps;
    QHash<qint64, qsizetype> indexByPid;
    const QList<Client> &clients = snapshot().clients;
    for (auto it = clients.crbegin(); it != clients.crend(); ++it) {
        const Client &client = *it;
        if (!client.pid)
            continue;
        // An app with an ordinary window is a regular app; one with only
        // panels, docks or utility windows is an accessory.
        const bool ordinary = client.types.isEmpty() || has(client.types, "_NET_WM_WINDOW_TYPE_NORMAL")
                              || has(client.types, "_NET_WM_WINDOW_TYPE_DIALOG");
        auto existing = indexByPid.constFind(client.pid);
        if (existing == indexByPid.cend()) {
            RunningApp app = runningApp(client);
            app.policy = ordinary ? ActivationPolicy::regular : ActivationPolicy::accessory;
            indexByPid.insert(client.pid, apps.size());
            apps.append(app);
        } else if (ordinary) {
            apps[*existing].policy = ActivationPolicy::regular;
        }
    }
    return apps;
}

QIcon X11WindowServer::windowIcon(quint32 number) const
{
    xcb_connection_t *c = m_connection.xcb;
    const auto reply = replyTo<xcb_get_property_reply>(
        c, xcb_get_property(c, false, number, m_properties.atom("_NET_WM_ICON"), XCB_ATOM_CARDINAL, 0, maxIconLongs));
    const QList<quint32> data = longs(reply.get());
    QIcon icon;
    for (qsizetype at = 0; at + 2 <= data.size();) {
        const quint32 width = data[at], height = data[at + 1];
        const qsizetype pixels = qsizetype(width) * height;
        if (!width || !height || width > 1024 || height > 1024 || at + 2 + pixels > data.size())
            break;
        QImage image(int(width), int(height), QImage::Format_ARGB32);
        for (quint32 y = 0; y < height; ++y)
            std::copy_n(data.constData() + at + 2 + y * width, width, reinterpret_cast<quint32 *>(image.scanLine(int(y))));
        icon.addPixmap(QPixmap::fromImage(image));
        at += 2 + pixels;
    }
    return icon.isNull() ? m_entries.icon(QString()) : icon;
}

qint64 X11WindowServer::frontmostPid() const
{
    const Client *active = client(snapshot().activeWindow);
    return active ? active->pid : 0;
}

quint32 X11WindowServer::focusedWindow(qint64 pid) const
{
    // X11 knows one focused window for the whole desktop; an app in the
    // background keeps the window it had last, else its topmost one.
    if (!pid)
        return 0;
    const Snapshot &now = snapshot();
    if (const Client *active = client(now.activeWindow); active && active->pid == pid)
        return active->number;
    if (const quint32 last = m_lastActiveByPid.value(pid); last && client(last))
        return last;
    for (auto it = now.clients.crbegin(); it != now.clients.crend(); ++it) {
        if (it->pid == pid && isOnScreen(*it, now.currentDesktop))
            return it->number;
    }
    return 0;
}

void X11WindowServer::activate(quint32 number)
{
    if (!m_connection.isValid())
        return;
    // Some managers (openbox) only mark a window on another desktop urgent:
    // go to its desktop first, as pagers do.
    // Read now, not from the snapshot: the window may have moved a moment ago.
    const QList<quint32> desktop = m_properties.numbers(number, "_NET_WM_DESKTOP");
    const QList<quint32> current = m_properties.numbers(m_connection.rootWindow, "_NET_CURRENT_DESKTOP");
    if (!desktop.isEmpty() && !current.isEmpty() && desktop.first() != allDesktops
        && desktop.first() != current.first()) {
        sendToWindowManager(m_connection, m_properties.atom("_NET_CURRENT_DESKTOP"), m_connection.rootWindow,
                            {desktop.first(), XCB_CURRENT_TIME});
    }
    // Source 2 (a pager) is exempt from focus-stealing prevention; the
    // manager un-minimises and raises as needed.
    sendToWindowManager(m_connection, m_properties.atom("_NET_ACTIVE_WINDOW"), number,
                        {2, XCB_CURRENT_TIME, m_activeWindow});
}

std::optional<QRectF> X11WindowServer::frame(quint32 number) const
{
    if (!m_connection.isValid())
        return std::nullopt;
    xcb_connection_t *c = m_connection.xcb;
    const auto geometry = replyTo<xcb_get_geometry_reply>(c, xcb_get_geometry(c, number));
    const auto origin = replyTo<xcb_translate_coordinates_reply>(
        c, xcb_translate_coordinates(c, number, m_connection.rootWindow, 0, 0));
    if (!geometry || !origin)
        return std::nullopt;
    // The frame the user sees includes the manager's decorations.
    const QList<quint32> extents = m_properties.numbers(number, "_NET_FRAME_EXTENTS");
    const QMarginsF decorations = extents.size() == 4
                                      ? QMarginsF(extents[0], extents[2], extents[1], extents[3])
                                      : QMarginsF();
    const QRectF client(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    return m_screens.geometry().fromQt(client.marginsAdded(decorations));
}

void X11WindowServer::setFrame(quint32 number, const QRectF &frame)
{
    if (!m_connection.isValid())
        return;
    const QRectF outer = m_screens.geometry().toQt(frame);
    const QList<quint32> extents = m_properties.numbers(number, "_NET_FRAME_EXTENTS");
    const QMarginsF decorations = extents.size() == 4
                                      ? QMarginsF(extents[0], extents[2], extents[1], extents[3])
                                      : QMarginsF();
    const QRectF inner = outer.marginsRemoved(decorations);
    // North-west gravity: x and y place the frame, width and height size the client.
    sendToWindowManager(m_connection, m_properties.atom("_NET_MOVERESIZE_WINDOW"), number,
                        {XCB_GRAVITY_NORTH_WEST | (0xF << 8) | (2 << 12), quint32(qRound(outer.x())),
                         quint32(qRound(outer.y())), quint32(std::max(1, qRound(inner.width()))),
                         quint32(std::max(1, qRound(inner.height())))});
}

void X11WindowServer::watchTitles(qint64 pid)
{
    for (quint32 window : std::as_const(m_titleWindows))
        selectPropertyChanges(window, false);
    m_titleWindows.clear();
    m_titlePid = pid;
    if (!pid)
        return;
    for (const Client &client : snapshot().clients) {
        if (client.pid == pid) {
            selectPropertyChanges(client.number, true);
            m_titleWindows.append(client.number);
        }
    }
}

void X11WindowServer::selectPropertyChanges(quint32 window, bool on)
{
    if (!m_connection.isValid())
        return;
    const quint32 mask = on ? XCB_EVENT_MASK_PROPERTY_CHANGE : XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(m_connection.xcb, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection.xcb);
}

bool X11WindowServer::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    const auto *property = nativeEventAs<xcb_property_notify_event_t>(eventType, message, XCB_PROPERTY_NOTIFY);
    if (!property)
        return false;
    if (property->window == m_connection.rootWindow) {
        if (property->atom == m_properties.atom("_NET_CURRENT_DESKTOP"))
            QMetaObject::invokeMethod(this, &X11WindowServer::desktopChanged, Qt::QueuedConnection);
        return false;
    }
    if (m_titleWindows.contains(property->window)
        && (property->atom == m_properties.atom("_NET_WM_NAME") || property->atom == XCB_ATOM_WM_NAME)) {
        QMetaObject::invokeMethod(this, [this, pid = m_titlePid] { emit titleChanged(pid); }, Qt::QueuedConnection);
    }
    return false;
}

void X11WindowServer::noteActiveWindow()
{
    const quint32 active = m_activeWindowWatch.activeWindow();
    if (active == m_activeWindow)
        return;
    m_activeWindow = active;
    m_snapshot.reset();
    const Client *found = client(active);
    const qint64 pid = found ? found->pid : 0;
    if (pid)
        m_lastActiveByPid.insert(pid, active);
    emit activeWindowChanged(pid, active);
}

} // namespace tamo::x11
