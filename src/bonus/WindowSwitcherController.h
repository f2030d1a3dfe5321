#pragma once

#include "bonus/WindowSwitcherRow.h"
#include "bonus/WindowSwitcherState.h"

#include <QObject>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <memory>

class QKeyEvent;

namespace tamo {

class Accessibility;
class BrowserTabs;
class BrowserFavicons;
class Defaults;
class EventPoster;
class RecentWindows;
class Screens;
class SwitcherPanel;
class WindowServer;
class WindowSwitcherCatalog;
class WindowSwitcherView;

// The switcher's column widths and panel size for a set of rows.
struct SwitcherMetrics
{
    qreal width = 0;
    qreal height = 0;
    qreal appNameColumnWidth = 0;
    qreal titleColumnWidth = 0;
    qreal tabColumnWidth = 0;
};
SwitcherMetrics measureColumns(const QList<WindowSwitcherRow> &rows, const QList<WindowSwitcherRow> &tabs,
                               const QRectF &visibleFrame);

// The switcher's floating panel and everything that happens while it is
// open: placing it, its keys, the tab column of a browser window, bringing
// the chosen window forward, keeping the rows current and hiding it. The
// panel takes the keyboard without bringing TamoCove forward, so the app in
// front stays in front.
class WindowSwitcherController : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        WindowSwitcherCatalog *catalog = nullptr;
        RecentWindows *recent = nullptr;
        WindowServer *server = nullptr;
        const Accessibility *accessibility = nullptr;
        const Defaults *defaults = nullptr;
        const Screens *screens = nullptr;
        BrowserTabs *tabs = nullptr;         // none: no tab column
        BrowserFavicons *favicons = nullptr; // none: no site icons
        EventPoster *eventPoster = nullptr;  // Ctrl+T where an app has no New Tab item
    };

    // After a New Tab row's window came forward, before its menu item is pressed.
    static constexpr int newTabDelayMs = 150;

    explicit WindowSwitcherController(const Services &services, QObject *parent = nullptr);
    ~WindowSwitcherController() override;

    // Nothing without accessibility trust or without rows.
    void show();
    // Rebuilds the rows while the panel shows.
    void refresh();
    // The hide sequence: the keyboard back, the panel out, the rows emptied.
    void hide();
    bool isVisible() const;

    // Swallows the switcher's keys; false passes the key on.
    bool handleKey(const QKeyEvent &event);
    void pick(int index);
    void pickTab(int index);
    void toggleTabs(int index);
    void activate(const WindowSwitcherRow &row);

    WindowSwitcherState &state() { return m_state; }
    QWidget *panel() const;
    WindowSwitcherView *view() const { return m_view; }

    // Runs at the start of every show.
    std::function<void()> onWillShow;
    // TamoCove's hot keys reach the open panel as key presses: this runs the
    // one a key is, and tells whether it was one.
    std::function<bool(const QKeyEvent &)> pressHotKey;

private:
    QSizeF layoutMetrics(const QRectF &visibleFrame);
    void relayout();
    QRectF panelScreenArea() const;
    bool openTabs(const WindowSwitcherRow &row);
    void enterTabs();
    void moveSelection(int delta);
    QList<WindowSwitcherRow> tabRows(const WindowSwitcherRow &row);
    void choose(const WindowSwitcherRow &row);

    Services m_services;
    WindowSwitcherState m_state;
    std::unique_ptr<SwitcherPanel> m_panel;
    WindowSwitcherView *m_view = nullptr;
};

} // namespace tamo
