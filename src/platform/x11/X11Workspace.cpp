#include "platform/x11/X11Workspace.h"

#include "platform/x11/X11Reply.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStandardPaths>

namespace tamo::x11 {

namespace {

QString executableName(qint64 pid)
{
    if (pid <= 0)
        return {};
    QString target = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    // The kernel marks a program that was replaced on disk while it runs.
    const QString deleted = QStringLiteral(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return QFileInfo(target).fileName();
}

} // namespace

X11Workspace::X11Workspace(const X11Connection &connection, QObject *parent)
    : X11Workspace(connection, QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation), parent)
{
}

X11Workspace::X11Workspace(const X11Connection &connection, const QStringList &applicationFolders, QObject *parent)
    : Workspace(parent)
    , m_connection(connection)
    , m_properties(connection.xcb)
    , m_entries(applicationFolders)
{
    if (!m_connection.isValid())
        return;
    watchActiveWindow();
    m_frontmostID = frontmostApp().bundleID;
}

AppInfo X11Workspace::frontmostApp() const
{
    const quint32 window = activeWindow();
    return window ? m_entries.identify(windowTraits(window)) : AppInfo();
}

AppInfo X11Workspace::appForProcess(qint64 pid) const
{
    // The front window's class names the app better than the program file
    // does (scripts, wrappers), so use it when the process owns that window.
    AppTraits traits;
    const quint32 window = activeWindow();
    if (window && m_properties.numbers(window, "_NET_WM_PID").value(0) == pid)
        traits = windowTraits(window);
    traits.executable = executableName(pid);
    if (traits.executable.isEmpty())
        return {};
    return m_entries.identify(traits);
}

bool X11Workspace::isInstalled(const QString &bundleID) const
{
    return m_entries.entry(bundleID).has_value();
}

QIcon X11Workspace::icon(const QString &bundleID) const
{
    return m_entries.icon(bundleID);
}

bool X11Workspace::openURL(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void X11Workspace::revealFile(const QString &path)
{
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(path).absolutePath());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QDesktopServices::openUrl(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)}
         << QString();
    // Without a file manager service, opening the folder is the next best.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [folder](QDBusPendingCallWatcher *finished) {
        if (finished->isError())
            QDesktopServices::openUrl(folder);
        finished->deleteLater();
    });
}

void X11Workspace::watchActiveWindow()
{
    // The event mask is per client and Qt shares this connection: add to
    // Qt's selection rather than replace it.
    xcb_connection_t *c = m_connection.xcb;
    const auto attributes =
        replyTo<xcb_get_window_attributes_reply>(c, xcb_get_window_attributes(c, m_connection.rootWindow));
    const quint32 mask = (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, m_connection.rootWindow, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

bool X11Workspace::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
    if (property->window == m_connection.rootWindow && property->atom == m_properties.atom("_NET_ACTIVE_WINDOW"))
        noteActivation();
    return false;
}

void X11Workspace::noteActivation()
{
    const AppInfo app = frontmostApp();
    if (!app.isValid() || app.bundleID == m_frontmostID)
        return;
    m_frontmostID = app.bundleID;
    // Listeners run after the event filter, not inside it.
    QMetaObject::invokeMethod(this, [this, id = app.bundleID] { emit appActivated(id); }, Qt::QueuedConnection);
}

quint32 X11Workspace::activeWindow() const
{
    if (!m_connection.isValid())
        return 0;
    return m_properties.numbers(m_connection.rootWindow, "_NET_ACTIVE_WINDOW").value(0);
}

AppTraits X11Workspace::windowTraits(quint32 window) const
{
    const QStringList windowClass = m_properties.strings(window, "WM_CLASS");
    AppTraits traits;
    traits.desktopId = m_properties.strings(window, "_GTK_APPLICATION_ID").value(0);
    if (traits.desktopId.isEmpty())
        traits.desktopId = m_properties.strings(window, "_KDE_NET_WM_DESKTOP_FILE").value(0);
    traits.windowInstance = windowClass.value(0);
    traits.windowClass = windowClass.value(1);
    traits.executable = executableName(m_properties.numbers(window, "_NET_WM_PID").value(0));
    return traits;
}

} // namespace tamo::x11
