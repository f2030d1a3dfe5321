#pragma once

#include "app/AppHooks.h"
#include "drawer/TimeScale.h"
#include "menubar/MenuBarClipsState.h"
#include "model/ClipItem.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSizeF>

#include <memory>

class QMenu;
class QWidget;

namespace tamo {

class AppModel;
class ClickShield;
class Clock;
class Defaults;
class PanelController;
class Screens;
class StatusItem;
class TamoPanel;
class WindowAnimation;

// The recent-clips status item and the panel that drops down under it: shows
// the item while both menu-bar settings are on, opens and closes the panel on
// a click, places it under the item, closes it when it loses the keyboard,
// and shields the window beneath from the rest of a click that pasted.
//
// Built before the model (the model is made with it) and given the model
// right after, like the drawer's controller.
class MenuBarClipsController final : public QObject, public MenuBarPanel
{
    Q_OBJECT

public:
    MenuBarClipsController(Defaults &defaults, Screens &screens, StatusItem &statusItem, PanelController &drawer,
                           ClickShield &clickShield, const Clock &clock, TimeScale timeScale = {},
                           QObject *parent = nullptr);
    ~MenuBarClipsController() override;

    void setModel(AppModel *model);
    // The application menu, shown on a right or control click; not owned.
    void setAppMenu(QMenu *menu);
    // The view the panel hosts; the panel owns it.
    void setContent(QWidget *content);

    MenuBarClipsState &state() { return m_state; }
    // Nothing until the first show.
    TamoPanel *panel() const { return m_panel.get(); }
    int hideGeneration() const { return m_hideGeneration; }

    // MenuBarPanel
    bool hasStatusItem() const override { return m_statusItemShown; }
    bool isPanelVisible() const override;
    void showPanel() override { show(); }
    void hidePanel(bool animated) override { hide(animated); }
    QDateTime lastResign() const override { return m_lastResign; }

    void show();
    void hide(bool animated);
    // Gives the keyboard back to the shown panel and asks the view to focus its search.
    void refocus();
    // The content size from the card scale, the visible card count and the layout.
    QSizeF panelSize() const;

    // The view's actions.
    void openDrawer();
    void showAppMenu();
    void pasteByClick(const QList<ClipItemPtr> &clips);

private:
    void refreshStatusItem();
    void statusItemClicked(Qt::KeyboardModifiers modifiers);
    void ensurePanel();
    void checkResignedKey();
    void showClickShield(const QRectF &frame);

    Defaults &m_defaults;
    Screens &m_screens;
    StatusItem &m_statusItem;
    PanelController &m_drawer;
    const Clock &m_clock;
    TimeScale m_timeScale;
    ClickShield &m_clickShield;
    QPointer<AppModel> m_model;
    MenuBarClipsState m_state;
    bool m_statusItemShown = false;
    std::unique_ptr<TamoPanel> m_panel;
    WindowAnimation *m_animation = nullptr;
    QPointer<QWidget> m_pendingContent; // hosted once the panel is built
    QPointer<QMenu> m_appMenu;
    int m_hideGeneration = 0;
    // False from the moment a hide starts: a panel fading out never takes the keyboard back.
    bool m_shown = false;
    int m_shieldGeneration = 0;
    QDateTime m_lastResign; // invalid: never
};

} // namespace tamo
