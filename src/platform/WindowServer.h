#pragma once

#include "platform/AppInfo.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace tamo {

// One entry of the window server's list: every window, with its owner and
// what the server knows of its look, but no title.
struct ServerWindow
{
    quint32 number = 0;
    qint64 pid = 0;
    int layer = 0;                // < 0 below ordinary windows (the desktop), dockLevel for panels
    std::optional<double> alpha;  // none when the window sets no opacity
    std::optional<QSizeF> size;   // none when its geometry could not be read
};

// One window as its app presents it: the details a switcher shows and acts on.
struct AppWindow
{
    quint32 number = 0;
    std::optional<QString> subrole; // "AXStandardWindow", "AXDialog", "AXFullScreenWindow", or another kind
    QString title;
    bool minimized = false;
    bool fullScreen = false;
    std::optional<QSizeF> size;
};

enum class ActivationPolicy { regular, accessory, prohibited };

struct RunningApp
{
    qint64 pid = 0;
    AppInfo info;
    ActivationPolicy policy = ActivationPolicy::regular;
    bool hidden = false;
    QIcon icon;
};

// The desktop's windows and the apps that own them: what a window switcher
// lists and a window sizer moves. Frames use the Screens convention (origin
// at the bottom-left of the primary screen, y up). Window numbers are never 0.
class WindowServer : public QObject
{
    Q_OBJECT
public:
    // The layer of panels and docks; ordinary windows are on layer 0.
    static constexpr int dockLevel = 20;

    using QObject::QObject;

    // Front to back. All windows, or only those visible on the current
    // desktop; empty when the list cannot be read.
    virtual QList<ServerWindow> windowList(bool onScreenOnly) const = 0;
    // The app's windows in the app's own order; none when the app cannot be asked.
    virtual std::optional<QList<AppWindow>> appWindows(qint64 pid) const = 0;
    // The window as its app presents it now; none once it is gone.
    virtual std::optional<AppWindow> window(quint32 number) const = 0;
    // Whether the window is on any desktop; none when that cannot be told.
    virtual std::optional<bool> isOnAnyDesktop(quint32 number) const = 0;

    virtual QList<RunningApp> runningApps() const = 0;
    // 0 when no app is in front.
    virtual qint64 frontmostPid() const = 0;
    // The app's window that has, or last had, the keyboard; 0 for none.
    virtual quint32 focusedWindow(qint64 pid) const = 0;

    // Un-minimises, raises and focuses the window, bringing its app forward.
    virtual void activate(quint32 number) = 0;
    virtual std::optional<QRectF> frame(quint32 number) const = 0;
    // Asks the window manager; the result shows in frame() once it complied.
    virtual void setFrame(quint32 number, const QRectF &frame) = 0;

    // Title changes are reported only for the windows of the one watched
    // app; 0 watches none.
    virtual void watchTitles(qint64 pid) = 0;

signals:
    // The window with the keyboard changed; pid 0 when none has it.
    void activeWindowChanged(qint64 pid, quint32 number);
    void desktopChanged();
    void titleChanged(qint64 pid);
};

} // namespace tamo
