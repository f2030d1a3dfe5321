#pragma once

#include "app/AppHooks.h"
#include "settings/SettingsNavigation.h"
#include "settings/SettingsPages.h"

#include <memory>

namespace tamo {

class PreferencesWindow;

// Owns the settings window: made on the first request, centred once, and
// kept with its page and place for the rest of the run. Made before the
// model, which calls it; setPages() hands it the pages once they can be made.
class PreferencesWindowController final : public SettingsWindow
{
public:
    PreferencesWindowController();
    ~PreferencesWindowController() override;

    void setPages(SettingsPages pages);
    void showPreferences(std::optional<int> page) override;

    SettingsNavigation &navigation() { return m_navigation; }
    // Null until first shown.
    PreferencesWindow *window() const { return m_window.get(); }

private:
    SettingsNavigation m_navigation;
    SettingsPages m_pages;
    std::unique_ptr<PreferencesWindow> m_window;
};

} // namespace tamo
