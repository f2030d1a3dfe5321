#include "menubar/MenuBarClipsController.h"

#include "app/AppModel.h"
#include "cards/Motion.h"
#include "cards/ScreenCardSizes.h"
#include "drawer/PanelController.h"
#include "drawer/TamoPanel.h"
#include "drawer/WindowAnimation.h"
#include "menubar/MenuBarGeometry.h"
#include "model/SettingsKeys.h"
#include "platform/ClickShield.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/Screens.h"
#include "platform/StatusItem.h"
#include "platform/Symbols.h"

#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QTimer>

namespace tamo {

namespace {

constexpr int slideInMs = 200;
constexpr int fadeOutMs = 120;
// A click that arrives this soon after the panel closed by losing the
// keyboard is the click that took it away: it must not reopen the panel.
constexpr qint64 reopenGuardMs = 300;
constexpr int menuOffset = 5;

std::optional<ScreenInfo> screenHolding(const QPointF &point, const QList<ScreenInfo> &screens)
{
    for (const ScreenInfo &screen : screens) {
        if (screen.containsPointer(point))
            return screen;
    }
    if (screens.isEmpty())
        return std::nullopt;
    return screens.first();
}

} // namespace

MenuBarClipsController::MenuBarClipsController(Defaults &defaults, Screens &screens, StatusItem &statusItem,
                                               PanelController &drawer, ClickShield &clickShield, const Clock &clock,
                                               TimeScale timeScale, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_screens(screens)
    , m_statusItem(statusItem)
    , m_drawer(drawer)
    , m_clock(clock)
    , m_timeScale(timeScale)
    , m_clickShield(clickShield)
{
    connect(&m_statusItem, &StatusItem::clicked, this, &MenuBarClipsController::statusItemClicked);
    connect(&m_drawer, &PanelController::menuBarRefocusRequested, this, &MenuBarClipsController::refocus);
    connect(&m_defaults, &Defaults::valueChanged, this, [this](const QString &key) {
        if (key == keys::showMenuBarIcon || key == keys::menuBarRecentClips)
            refreshStatusItem();
    });
    refreshStatusItem();
}

MenuBarClipsController::~MenuBarClipsController() = default;

void MenuBarClipsController::setModel(AppModel *model)
{
    m_model = model;
}

void MenuBarClipsController::setAppMenu(QMenu *menu)
{
    if (m_appMenu)
        disconnect(m_appMenu, nullptr, this, nullptr);
    m_appMenu = menu;
    m_statusItem.setMenu(menu);
    // The tray pops the menu up on a right click by itself; the panel goes first.
    if (menu)
        connect(menu, &QMenu::aboutToShow, this, [this] { hide(false); });
}

void MenuBarClipsController::setContent(QWidget *content)
{
    if (m_panel) {
        m_panel->setContent(content);
    } else {
        if (m_pendingContent != content)
            delete m_pendingContent.data(); // held for a panel never built
        m_pendingContent = content;
    }
}

bool MenuBarClipsController::isPanelVisible() const
{
    return m_panel && m_panel->isVisible();
}

void MenuBarClipsController::refreshStatusItem()
{
    const bool wanted = m_defaults.boolValue(keys::showMenuBarIcon) && m_defaults.boolValue(keys::menuBarRecentClips);
    if (wanted == m_statusItemShown)
        return;
    if (wanted) {
        m_statusItem.setIcon(symbolIcon(QStringLiteral("list.clipboard")));
        m_statusItem.setToolTip(QStringLiteral("Recent clips · right-click for the TamoCove menu"));
        m_statusItem.setVisible(true);
    } else {
        hide(false);
        m_statusItem.setVisible(false);
    }
    m_statusItemShown = wanted;
}

void MenuBarClipsController::statusItemClicked(Qt::KeyboardModifiers modifiers)
{
    // The control key of this desktop's glyphs, ⌃, is Super here.
    if (modifiers.testFlag(Qt::MetaModifier)) {
        showAppMenu();
        return;
    }
    if (isPanelVisible()) {
        hide(true);
        return;
    }
    if (!m_lastResign.isValid() || m_lastResign.msecsTo(m_clock.now()) > reopenGuardMs)
        show();
}

void MenuBarClipsController::show()
{
    if (!m_statusItemShown)
        return;
    m_drawer.hide(false); // the two panels never show together
    // A paste from the panel goes to the app that was in front when it opened.
    if (m_model)
        m_model->notePasteTarget();

    const QRectF button = m_statusItem.anchor();
    const QList<ScreenInfo> screens = m_screens.screens();
    const std::optional<ScreenInfo> screen = screenHolding(button.center(), screens);
    if (screen) {
        // The card size stored for this screen must be current before the size is taken from it.
        ScreenCardSizes::remember(m_defaults, {*screen});
        ScreenCardSizes::activate(m_defaults, ScreenCardSizes::screenID(*screen));
    }

    ensurePanel();
    ++m_hideGeneration;
    m_shown = true;

    const MenuBarGeometry::Placement placement = MenuBarGeometry::panelPlacement(
        button, panelSize(), screen ? std::optional(screen->visibleFrame) : std::nullopt,
        screen ? std::optional(screen->frame) : std::nullopt);
    m_state.setOpenCount(m_state.openCount() + 1);
    m_panel->setSharingType(m_defaults.boolValue(keys::showDuringScreenSharing) ? TamoPanel::SharingType::readOnly
                                                                                 : TamoPanel::SharingType::none);

    // It slides in from the status item's side.
    const qreal slide = placement.opensUpward ? -MenuBarGeometry::slideDistance : MenuBarGeometry::slideDistance;
    const ScreenGeometry geometry = m_screens.geometry();
    m_animation->stop();
    m_panel->setWindowOpacity(0);
    m_panel->setGeometry(geometry.toQt(placement.frame.translated(0, slide)).toRect());
    m_panel->orderFront();
    m_panel->makeKey();
    m_animation->run(geometry.toQt(placement.frame).toRect(), 1, m_timeScale(slideInMs),
                     timingCurve(0.2, 0.9, 0.25, 1.0));
}

void MenuBarClipsController::hide(bool animated)
{
    if (!isPanelVisible())
        return;
    m_shown = false;
    const int generation = ++m_hideGeneration;
    // A preview opened from the panel goes with it.
    if (m_model && m_model->isOrderedPreviewOpen())
        m_model->closePreview();

    m_animation->hide(animated, m_timeScale(fadeOutMs), [this, generation] { return generation != m_hideGeneration; });
}

void MenuBarClipsController::refocus()
{
    if (!isPanelVisible() || !m_shown)
        return;
    m_panel->makeKey();
    m_state.setRefocusCount(m_state.refocusCount() + 1);
}

QSizeF MenuBarClipsController::panelSize() const
{
    return MenuBarGeometry::panelSize(m_defaults.doubleValue(keys::cardScale),
                                      int(m_defaults.integer(keys::menuBarVisibleCards)),
                                      m_defaults.string(keys::menuBarLayout).value_or(QString()));
}

void MenuBarClipsController::openDrawer()
{
    hide(false);
    if (m_model)
        m_model->openDrawer();
}

void MenuBarClipsController::showAppMenu()
{
    hide(false);
    if (!m_appMenu)
        return;
    // Just under the item's lower left corner.
    const QRectF button = m_statusItem.anchor();
    const QPointF corner = m_screens.geometry().toQt(QPointF(button.left(), button.top()));
    m_appMenu->popup(corner.toPoint() + QPoint(0, menuOffset));
}

void MenuBarClipsController::pasteByClick(const QList<ClipItemPtr> &clips)
{
    if (isPanelVisible())
        showClickShield(m_screens.geometry().fromQt(QRectF(m_panel->geometry())));
    if (m_model)
        m_model->paste(clips, false);
}

void MenuBarClipsController::ensurePanel()
{
    if (m_panel)
        return;
    const QSizeF content = panelSize();
    QWidget *hosted = m_pendingContent ? m_pendingContent.data() : new QWidget;
    m_pendingContent.clear();
    m_panel = std::make_unique<TamoPanel>(
        hosted, false, std::nullopt,
        QSizeF(content.width() + 2 * MenuBarGeometry::shadowSide, content.height() + MenuBarGeometry::shadowBelow)
            .toSize());
    m_panel->setCardShape(MenuBarGeometry::shadowRoom, MenuBarGeometry::cardCornerRadius);
    m_panel->setAccessibleName(QStringLiteral("Recent Clips")); // for screen readers; the window keeps the app's name
    m_animation = new WindowAnimation(m_panel.get());
    connect(m_panel.get(), &TamoPanel::keyResigned, this, [this] {
        // Where the keyboard went is only known once the activation has settled.
        QTimer::singleShot(0, this, &MenuBarClipsController::checkResignedKey);
    });
}

void MenuBarClipsController::checkResignedKey()
{
    // A panel already fading out did not lose the keyboard to the user.
    if (!m_shown || !isPanelVisible() || m_panel->isKey())
        return;
    // The user went into the preview opened from this panel.
    if (m_model && m_model->isOrderedPreviewOpen() && m_drawer.previewPanel().isKey())
        return;
    m_lastResign = m_clock.now();
    hide(true);
}

void MenuBarClipsController::showClickShield(const QRectF &frame)
{
    m_clickShield.cover(frame);
    const int generation = ++m_shieldGeneration;
    const int interval = m_timeScale(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    QTimer::singleShot(interval, this, [this, generation] {
        if (generation == m_shieldGeneration)
            m_clickShield.remove();
    });
}

} // namespace tamo
