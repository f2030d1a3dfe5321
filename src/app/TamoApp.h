#pragma once

#include <QObject>

#include <memory>

class QAction;
class QMenu;

namespace tamo {

class AppModel;
class Defaults;
class StatusItem;

// The application's own tray icon with the app menu. It shows while
// "showMenuBarIcon" is on, except when the recent-clips status item is shown
// instead, so the two never appear together.
class TamoApp : public QObject
{
    Q_OBJECT

public:
    TamoApp(AppModel &model, Defaults &defaults, StatusItem &statusItem, QObject *parent = nullptr);
    ~TamoApp() override;

    QMenu *menu() const { return m_menu.get(); }

private:
    void buildMenu();
    void updateVisibility();
    void updateOpenShortcut();

    AppModel &m_model;
    Defaults &m_defaults;
    StatusItem &m_statusItem;
    std::unique_ptr<QMenu> m_menu;
    QAction *m_openAction = nullptr;
};

} // namespace tamo
