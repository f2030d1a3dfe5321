#include "settings/PreferencesWindowController.h"

#include "settings/PreferencesWindow.h"

#include <QGuiApplication>
#include <QScreen>

namespace tamo {

PreferencesWindowController::PreferencesWindowController() = default;
PreferencesWindowController::~PreferencesWindowController() = default;

void PreferencesWindowController::setPages(SettingsPages pages)
{
    m_pages = std::move(pages);
}

void PreferencesWindowController::showPreferences(std::optional<int> page)
{
    if (page) {
        if (const auto known = settingsPageAt(*page))
            m_navigation.setPage(*known);
    }
    if (!m_window) {
        m_window = std::make_unique<PreferencesWindow>(m_navigation, m_pages);
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(), PreferencesWindow::fixedSize);
            frame.moveCenter(screen->availableGeometry().center());
            m_window->move(frame.topLeft());
        }
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace tamo
