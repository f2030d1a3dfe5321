#pragma once

#include "app/AppHooks.h"

#include <QToolButton>

class QMenu;
class QTimer;

namespace tamo {

class AppModel;

// The sync status as a coloured cloud at the end of the drawer's bar and of
// the menu-bar panel's bottom bar; its menu explains the status and offers
// Sync Now and the settings. Hidden, taking no space, while sync is off.
class SyncIndicator final : public QToolButton
{
    Q_OBJECT

public:
    enum class Look { glass, circle };

    SyncIndicator(AppModel &model, int side, Look look, QWidget *parent = nullptr);

    // The headline and lines the tooltip and the menu show.
    QStringList lines() const;
    QString symbolName() const;

private:
    void refresh();
    void fillMenu();
    void drawIcon();

    AppModel &m_model;
    Look m_look;
    QMenu *m_menu;
    QTimer *m_textTimer; // relative times move on while the status stands still
    QTimer *m_spin;
    int m_angle = 0;
};

} // namespace tamo
