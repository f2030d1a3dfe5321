#pragma once

#include "settings/SettingsPage.h"

#include <QPointer>
#include <QWidget>

class QListWidget;
class QScrollArea;

namespace tamo {

class SettingsNavigation;
class SettingsPages;

// The settings window: a fixed 715 × 560 window above other windows, the
// sidebar of pages beside the page shown, titled after that page. Closing it
// only hides it; opened again, it builds its page afresh, as a page does
// what it does each time it is shown when it is built.
class PreferencesWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr QSize fixedSize{715, 560};

    PreferencesWindow(SettingsNavigation &navigation, const SettingsPages &pages, QWidget *parent = nullptr);

    QListWidget *sidebar() const { return m_sidebar; }
    // The page shown; null for a page without a builder.
    QWidget *pageView() const { return m_page; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showPage(SettingsPage page);

    SettingsNavigation &m_navigation;
    const SettingsPages &m_pages;
    QListWidget *m_sidebar;
    QScrollArea *m_detail;
    QPointer<QWidget> m_page;
    bool m_closedSinceBuilt = false;
};

} // namespace tamo
