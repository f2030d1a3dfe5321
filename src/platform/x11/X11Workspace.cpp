#include "platform/x11/X11Workspace.h"

#include "platform/ProcessAncestry.h"
#include "platform/x11/X11ActiveWindow.h"
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>

namespace tamo::x11 {

X11Workspace::X11Workspace(const X11Connection &connection, const X11ActiveWindow &activeWindow,
                           const DesktopEntries &entries, QObject *parent)
    : Workspace(parent)
    , m_connection(connection)
    , m_activeWindow(activeWindow)
    , m_properties(connection.xcb)
    , m_entries(entries)
{
    connect(&m_entries, &DesktopEntries::changed, this, &Workspace::installedAppsChanged);
    if (!m_connection.isValid())
        return;
    connect(&m_activeWindow, &X11ActiveWindow::changed, this, &X11Workspace::noteActivation);
    connect(&m_activeWindow, &X11ActiveWindow::desktopChanged, this, &Workspace::desktopChanged);
    m_frontmostID = frontmostApp().bundleID;
}

AppInfo X11Workspace::frontmostApp() const
{
    const quint32 window = m_activeWindow.userWindow();
    return window ? m_entries.identify(windowTraits(window)) : AppInfo();
}

qint64 X11Workspace::frontmostProcessID() const
{
    const quint32 window = m_activeWindow.userWindow();
    return window ? windowProcessID(m_properties, m_connection.xcb, window) : 0;
}

AppInfo X11Workspace::appForProcess(qint64 pid) const
{
    for (const QList<qint64> &ancestry : possibleAncestries(pid)) {
        if (AppInfo app = appForAncestry(ancestry); app.isValid())
            return app;
    }
    return {};
}

AppInfo X11Workspace::appForAncestry(const QList<qint64> &ancestry) const
{
    // The front window's class names the app better than the program file
    // does (scripts, wrappers), so use it when the process owns that window.
    AppTraits owner;
    const quint32 window = m_activeWindow.userWindow();
    const bool ownsFrontWindow = window && windowProcessID(m_properties, m_connection.xcb, window) == ancestry.first();
    if (ownsFrontWindow)
        owner = windowTraits(window);
    owner.executable = executableName(ancestry.first());
    if (ownsFrontWindow || m_entries.match(owner))
        return m_entries.identify(owner);
    for (const qint64 starter : ancestry.mid(1)) {
        AppTraits traits;
        traits.executable = executableName(starter);
        if (m_entries.match(traits))
            return m_entries.identify(traits);
    }
    return {};
}

bool X11Workspace::isInstalled(const QString &bundleID) const
{
    return m_entries.entry(bundleID).has_value();
}

QStringList X11Workspace::sameApp(const QString &bundleID) const
{
    return m_entries.sameApp(bundleID);
}

QList<AppInfo> X11Workspace::installedApps() const
{
    // A NoDisplay entry is no app of its own: nothing is ever credited to it.
    QList<AppInfo> apps;
    for (const DesktopEntry &entry : m_entries.all()) {
        if (!entry.noDisplay)
            apps.append({entry.id, entry.name});
    }
    return apps;
}

QIcon X11Workspace::icon(const QString &bundleID) const
{
    return m_entries.icon(bundleID);
}

bool X11Workspace::openURL(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void X11Workspace::revealFile(const QString &path, std::function<void()> notShown)
{
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(path).absolutePath());
    const auto openFolder = [folder, notShown] {
        if (!QDesktopServices::openUrl(folder) && notShown)
            notShown();
    };
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)}
         << QString();
    // Without a file manager service, opening the folder is the next best.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [openFolder](QDBusPendingCallWatcher *finished) {
        if (finished->isError())
            openFolder();
        finished->deleteLater();
    });
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

AppTraits X11Workspace::windowTraits(quint32 window) const
{
    return AppTraits::ofWindow(toolkitDesktopId(m_properties, window), m_properties.strings(window, "WM_CLASS"),
                               windowProcessID(m_properties, m_connection.xcb, window));
}

} // namespace tamo::x11
