#pragma once

#include "platform/WindowServer.h"

#include <QHash>

namespace tamo::testing {

// A desktop the test lays out: apps, their windows front to back, and what
// each window shows to the server and through its app.
class FakeWindowServer final : public WindowServer
{
    Q_OBJECT
public:
    struct Window
    {
        quint32 number = 0;
        qint64 pid = 0;
        QString title;
        std::optional<QString> subrole = QStringLiteral("AXStandardWindow");
        int layer = 0;
        std::optional<double> alpha;
        QSizeF size{800, 600};
        bool onScreen = true;
        bool minimized = false;
        bool fullScreen = false;
        bool presentedByApp = true;       // the app still returns it
        std::optional<bool> onAnyDesktop = true;
        QRectF frame{100, 100, 800, 600};
        bool resizable = true;
    };

    // Front to back.
    QList<Window> windows;
    QList<RunningApp> apps;
    qint64 front = 0;
    QHash<qint64, quint32> focused;
    QList<quint32> activated;
    QList<std::pair<quint32, QRectF>> frameRequests;
    qint64 titlesWatched = 0;
    int windowListReads = 0;

    Window &add(const Window &window)
    {
        windows.append(window);
        return windows.last();
    }
    RunningApp &addApp(qint64 pid, const QString &name, ActivationPolicy policy = ActivationPolicy::regular)
    {
        RunningApp app;
        app.pid = pid;
        app.info = {QStringLiteral("app.") + name.toLower(), name};
        app.policy = policy;
        apps.append(app);
        return apps.last();
    }
    Window *find(quint32 number)
    {
        for (Window &window : windows) {
            if (window.number == number)
                return &window;
        }
        return nullptr;
    }
    void bringForward(qint64 pid, quint32 number)
    {
        front = pid;
        focused.insert(pid, number);
        emit activeWindowChanged(pid, number);
    }

    QList<ServerWindow> windowList(bool onScreenOnly) const override
    {
        ++const_cast<FakeWindowServer *>(this)->windowListReads;
        QList<ServerWindow> list;
        for (const Window &window : windows) {
            if (onScreenOnly && (!window.onScreen || window.minimized))
                continue;
            list.append({window.number, window.pid, window.layer, window.alpha, window.size});
        }
        return list;
    }
    std::optional<QList<AppWindow>> appWindows(qint64 pid) const override
    {
        QList<AppWindow> list;
        for (const Window &window : windows) {
            if (window.pid == pid && window.presentedByApp)
                list.append(appWindow(window));
        }
        return list;
    }
    std::optional<AppWindow> window(quint32 number) const override
    {
        for (const Window &window : windows) {
            if (window.number == number && window.presentedByApp)
                return appWindow(window);
        }
        return std::nullopt;
    }
    std::optional<bool> isOnAnyDesktop(quint32 number) const override
    {
        for (const Window &window : windows) {
            if (window.number == number)
                return window.onAnyDesktop;
        }
        return false;
    }
    QList<RunningApp> runningApps() const override { return apps; }
    qint64 frontmostPid() const override { return front; }
    quint32 focusedWindow(qint64 pid) const override { return focused.value(pid); }
    void activate(quint32 number) override { activated.append(number); }
    std::optional<QRectF> frame(quint32 number) const override
    {
        for (const Window &window : windows) {
            if (window.number == number)
                return window.frame;
        }
        return std::nullopt;
    }
    void setFrame(quint32 number, const QRectF &frame) override
    {
        frameRequests.append({number, frame});
        if (Window *window = find(number); window && window->resizable)
            window->frame = frame;
    }
    void watchTitles(qint64 pid) override { titlesWatched = pid; }

    void changeTitle(qint64 pid) { emit titleChanged(pid); }
    void switchDesktop() { emit desktopChanged(); }

private:
    static AppWindow appWindow(const Window &window)
    {
        return {window.number, window.subrole, window.title, window.minimized, window.fullScreen, window.size};
    }
};

} // namespace tamo::testing
