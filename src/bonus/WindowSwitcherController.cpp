#include "bonus/WindowSwitcherController.h"

#include "bonus/BrowserFavicons.h"
#include "bonus/BrowserTabs.h"
#include "bonus/RecentWindows.h"
#include "bonus/SwitcherPanel.h"
#include "bonus/WindowSwitcherCatalog.h"
#include "bonus/WindowSwitcherRows.h"
#include "bonus/WindowSwitcherView.h"
#include "model/SettingsKeys.h"
#include "platform/Accessibility.h"
#include "platform/Defaults.h"
#include "platform/EventPoster.h"
#include "platform/Screens.h"
#include "platform/WindowServer.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QTimer>

#include <cmath>

namespace tamo {

namespace {

constexpr qreal cornerRadius = 30;

qreal listHeight(qsizetype count, qreal rowHeight)
{
    return count == 0 ? 0 : count * rowHeight + (count - 1) * 2;
}

} // namespace

SwitcherMetrics measureColumns(const QList<WindowSwitcherRow> &rows, const QList<WindowSwitcherRow> &tabs,
                               const QRectF &visibleFrame)
{
    const QFontMetricsF titleMetrics(switcherTitleFont());
    const QFontMetricsF nameMetrics(switcherAppNameFont());
    qreal titles = 0, names = 0;
    bool anyFullScreen = false, anyTabs = false;
    for (const WindowSwitcherRow &row : rows) {
        titles = std::max(titles, titleMetrics.horizontalAdvance(row.displayTitle()));
        names = std::max(names, nameMetrics.horizontalAdvance(row.appName()));
        anyFullScreen |= row.isFullScreen;
        anyTabs |= row.tabCount >= 2;
    }
    const qreal fullScreenAllowance = anyFullScreen ? 120 : 0;
    const qreal tabsAllowance = anyTabs ? 96 : 0;

    SwitcherMetrics metrics;
    if (!tabs.isEmpty()) {
        qreal widest = 0;
        for (const WindowSwitcherRow &tab : tabs)
            widest = std::max(widest, titleMetrics.horizontalAdvance(tab.displayTitle()));
        metrics.tabColumnWidth = std::clamp(std::ceil(widest + 94), 240.0, 480.0);
    }
    const qreal content = std::max(listHeight(rows.size(), windowRowHeight), listHeight(tabs.size(), tabRowHeight))
                          + 28 + 28;
    const qreal limit = std::max(0.92 * visibleFrame.height() - 20, 160.0);
    metrics.appNameColumnWidth = std::clamp(std::ceil(names), 88.0, 220.0);
    metrics.titleColumnWidth = std::ceil(titles);
    const qreal inner = std::max(metrics.titleColumnWidth + metrics.appNameColumnWidth + 10 + 52 + 10
                                     + fullScreenAllowance + tabsAllowance + 36 + 28 + 12,
                                 380.0)
                        + (tabs.isEmpty() ? 0 : metrics.tabColumnWidth + WindowSwitcherView::dividerWidth);
    metrics.width = std::min(inner, visibleFrame.width() - 40) + 48;
    metrics.height = std::max(std::min(content, limit), 120.0) + 48;
    return metrics;
}

WindowSwitcherController::WindowSwitcherController(const Services &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_panel(std::make_unique<SwitcherPanel>(WindowSwitcherView::outerPadding, cornerRadius))
{
    WindowSwitcherView::Callbacks callbacks{[this](int index) { pick(index); },
                                            [this](int index) { toggleTabs(index); },
                                            [this](int index) { pickTab(index); }};
    TabRowDelegate::FaviconLookup favicons;
    if (BrowserFavicons *source = m_services.favicons)
        favicons = [source](const QString &host) { return source->icon(host); };
    m_view = new WindowSwitcherView(m_state, callbacks, favicons, cornerRadius, m_panel.get());
    if (m_services.favicons)
        connect(m_services.favicons, &BrowserFavicons::iconArrived, m_view, &WindowSwitcherView::refreshTabIcons);
    m_panel->onKey = [this](const QKeyEvent &event) { return handleKey(event); };
    m_panel->onHidden = [this] {
        // Closed by a click elsewhere: finish the hide sequence.
        if (!m_state.rows().isEmpty())
            hide();
    };
    m_panel->resize(440, 360);
    m_view->resize(m_panel->size());
}

WindowSwitcherController::~WindowSwitcherController() = default;

QWidget *WindowSwitcherController::panel() const
{
    return m_panel.get();
}

bool WindowSwitcherController::isVisible() const
{
    return m_panel->isVisible();
}

void WindowSwitcherController::show()
{
    if (!m_services.accessibility->isTrusted())
        return;
    if (onWillShow)
        onWillShow();
    const QList<WindowSwitcherRow> rows = m_services.catalog->rows();
    m_state.setRows(rows);
    m_state.closeTabs();
    m_state.setSelection(m_services.catalog->initialSelection(rows));
    if (rows.isEmpty())
        return;
    const std::optional<ScreenInfo> screen = m_services.screens->screenUnderPointer();
    const QRectF visible = screen ? screen->visibleFrame : QRectF();
    const QSizeF size = layoutMetrics(visible);
    const QRectF frame(visible.center().x() - size.width() / 2, visible.center().y() - size.height() / 2,
                       size.width(), size.height());
    m_panel->setGeometry(m_services.screens->geometry().toQt(frame).toRect());
    m_view->resize(m_panel->size());
    m_panel->show();
    m_panel->raise();
}

void WindowSwitcherController::hide()
{
    m_state.setRows({});
    m_state.closeTabs();
    if (m_panel->isVisible())
        m_panel->hide();
}

QSizeF WindowSwitcherController::layoutMetrics(const QRectF &visibleFrame)
{
    const SwitcherMetrics metrics = measureColumns(m_state.rows(), m_state.tabs(), visibleFrame);
    m_state.setColumnWidths(metrics.appNameColumnWidth, metrics.titleColumnWidth, metrics.tabColumnWidth);
    return QSizeF(metrics.width, metrics.height);
}

QRectF WindowSwitcherController::panelScreenArea() const
{
    const QRectF frame = m_services.screens->geometry().fromQt(QRectF(m_panel->geometry()));
    const QList<ScreenInfo> screens = m_services.screens->screens();
    for (const ScreenInfo &screen : screens) {
        if (screen.frame.contains(frame.center()))
            return screen.visibleFrame;
    }
    return screens.isEmpty() ? QRectF() : screens.first().visibleFrame;
}

void WindowSwitcherController::relayout()
{
    if (!m_panel->isVisible())
        return;
    const QRectF visible = panelScreenArea();
    const QSizeF size = layoutMetrics(visible);
    const ScreenGeometry geometry = m_services.screens->geometry();
    const QRectF current = geometry.fromQt(QRectF(m_panel->geometry()));
    // Keeps the top edge, inside the visible area.
    const qreal y = std::max(current.bottom() - size.height(), visible.top());
    const qreal x = std::min(std::max(current.left(), visible.left()), visible.right() - size.width());
    m_panel->setGeometry(geometry.toQt(QRectF(x, y, size.width(), size.height())).toRect());
    m_view->resize(m_panel->size());
}

bool WindowSwitcherController::handleKey(const QKeyEvent &event)
{
    if (!m_panel->isVisible())
        return false;
    if (pressHotKey && pressHotKey(event))
        return true;
    const Qt::KeyboardModifiers held =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool tabsOn = m_services.catalog->browserTabsOn();
    switch (event.key()) {
    case Qt::Key_W:
        // ⌘W, which is Ctrl+W here; W with other modifiers goes on.
        if (held != Qt::ControlModifier)
            return false;
        hide();
        return true;
    case Qt::Key_Left:
        if (tabsOn) {
            if (m_state.tabsOwnerID()) {
                m_state.closeTabs();
                relayout();
            }
        } else {
            moveSelection(-1);
        }
        return true;
    case Qt::Key_Right:
        tabsOn ? enterTabs() : moveSelection(+1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const std::optional<WindowSwitcherRow> row = m_state.activeRow())
            choose(*row);
        return true;
    case Qt::Key_Escape:
        hide();
        return true;
    case Qt::Key_Down:
        moveSelection(+1);
        return true;
    case Qt::Key_Up:
        moveSelection(-1);
        return true;
    default:
        return false;
    }
}

void WindowSwitcherController::moveSelection(int delta)
{
    m_state.moveSelection(delta);
    if (m_state.pane() == WindowSwitcherState::Pane::windows && m_state.tabsOwnerID()) {
        const std::optional<WindowSwitcherRow> selected = m_state.selectedRow();
        if (!selected || selected->id != *m_state.tabsOwnerID()) {
            m_state.closeTabs();
            relayout();
        }
    }
}

bool WindowSwitcherController::openTabs(const WindowSwitcherRow &row)
{
    if (row.tabCount < 2)
        return false;
    if (m_state.tabsOwnerID() == row.id)
        return true;
    m_state.showTabs(row, tabRows(row), std::nullopt);
    if (!m_state.tabsOwnerID())
        return false;
    relayout();
    return true;
}

void WindowSwitcherController::enterTabs()
{
    if (m_state.pane() != WindowSwitcherState::Pane::windows)
        return;
    if (const std::optional<WindowSwitcherRow> row = m_state.selectedRow(); row && openTabs(*row))
        m_state.setPane(WindowSwitcherState::Pane::tabs);
}

QList<WindowSwitcherRow> WindowSwitcherController::tabRows(const WindowSwitcherRow &row)
{
    if (!m_services.tabs)
        return {};
    const QList<BrowserTab> tabs = m_services.tabs->tabs(
        BrowserTabs::window(row.app.pid, row.windowNumber, row.windowTitle, row.app.info.bundleID));
    if (tabs.isEmpty())
        return {};
    QList<WindowSwitcherRow> rows;
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        if (tabs[i].host && m_services.favicons)
            m_services.favicons->request(*tabs[i].host);
        rows.append(row.tabRow(tabs[i], int(i)));
    }
    rows.append(row.newTabRow());
    return rows;
}

void WindowSwitcherController::choose(const WindowSwitcherRow &row)
{
    // Hiding drops the rows `row` may belong to.
    const WindowSwitcherRow chosen = row;
    m_services.recent->bumpApp(chosen.app.pid);
    m_services.recent->bumpWindow(chosen.windowRowID);
    hide();
    activate(chosen);
}

void WindowSwitcherController::pick(int index)
{
    if (index >= 0 && index < m_state.rows().size())
        choose(m_state.rows()[index]);
}

void WindowSwitcherController::pickTab(int index)
{
    if (index >= 0 && index < m_state.tabs().size())
        choose(m_state.tabs()[index]);
}

void WindowSwitcherController::toggleTabs(int index)
{
    if (index < 0 || index >= m_state.rows().size())
        return;
    m_state.setSelection(index);
    const WindowSwitcherRow row = m_state.rows()[index];
    if (m_state.tabsOwnerID() == row.id) {
        m_state.closeTabs();
        relayout();
        return;
    }
    openTabs(row);
    // The keyboard stays in the window list while the column shows.
    m_state.setPane(WindowSwitcherState::Pane::windows);
}

void WindowSwitcherController::activate(const WindowSwitcherRow &row)
{
    if (!m_services.accessibility->isTrusted())
        return;
    m_services.server->activate(row.windowNumber);
    if (row.tab && m_services.tabs)
        m_services.tabs->pressTab(*row.tab);
    if (!row.opensNewTab || !m_services.tabs)
        return;
    QTimer::singleShot(newTabDelayMs, this, [this, pid = row.app.pid] {
        // Browsers without a menu bar take the shortcut instead.
        if (!m_services.tabs->pressNewTabItem(pid) && m_services.eventPoster)
            m_services.eventPoster->postNewTab();
    });
}

void WindowSwitcherController::refresh()
{
    if (!m_panel->isVisible())
        return;
    const std::optional<WindowSwitcherRow> selected = m_state.selectedRow();
    const WindowSwitcherState::Pane pane = m_state.pane();
    const std::optional<WindowSwitcherRow> active = m_state.activeRow();
    const std::optional<QString> selectedTabID =
        pane == WindowSwitcherState::Pane::tabs && active ? std::optional(active->id) : std::nullopt;
    const std::optional<QString> owner = m_state.tabsOwnerID();

    const QList<WindowSwitcherRow> rows = m_services.catalog->rows();
    if (rows.isEmpty()) {
        hide();
        return;
    }
    m_state.setRows(rows);
    m_state.closeTabs();
    const std::optional<int> kept = selected ? m_state.indexOfRow(selected->id) : std::nullopt;
    m_state.setSelection(kept ? *kept : m_services.catalog->initialSelection(rows));
    const auto ownerRow = std::find_if(rows.cbegin(), rows.cend(),
                                       [&owner](const WindowSwitcherRow &row) { return owner && row.id == *owner; });
    if (ownerRow != rows.cend() && ownerRow->tabCount >= 2) {
        m_state.showTabs(*ownerRow, tabRows(*ownerRow), selectedTabID);
        if (m_state.tabsOwnerID())
            m_state.setPane(pane);
    }
    relayout();
}

} // namespace tamo
