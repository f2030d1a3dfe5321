#pragma once

#include "settings/SettingsPage.h"

#include <QObject>

namespace tamo {

// The page the settings window shows. Not saved: each launch starts on
// General; closing and reopening the window keeps the page.
class SettingsNavigation final : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    SettingsPage page() const { return m_page; }
    // Setting the page already shown notifies nobody.
    void setPage(SettingsPage page);

signals:
    void pageChanged(SettingsPage page);

private:
    SettingsPage m_page = SettingsPage::general;
};

} // namespace tamo
