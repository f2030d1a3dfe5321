#pragma once

#include "app/AppHooks.h"
#include "settings/FormKit.h"

#include <optional>

class QLabel;
class QPushButton;

namespace tamo {

class Spinner;
class Workspace;
struct SettingsEnvironment;

// Who TamoCove is, whether a newer release exists (checked each time the
// page is shown and on request), and the way back to the tour and the
// personalisation window.
class AboutPage : public SettingsForm
{
    Q_OBJECT

public:
    explicit AboutPage(SettingsEnvironment &environment, QWidget *parent = nullptr);

    // The "Latest Version" row's text for what the check found.
    QString updateStatus() const;
    void checkNow();
    bool isChecking() const { return m_checking; }
    // Opens a release's page; only https addresses are opened.
    static bool openDownload(Workspace &workspace, const QUrl &url);

private:
    void addHeader();
    void addUpdates();
    void addGetStarted();
    void showCheck();

    SettingsEnvironment &m_env;
    UpdateService &m_updates;
    bool m_checking = true;
    std::optional<UpdateRelease> m_release; // none with m_checking false: the check failed
    FormRow *m_latest = nullptr;
    Spinner *m_spinner = nullptr;
    QLabel *m_found = nullptr;
    QPushButton *m_download = nullptr;
    QPushButton *m_checkButton = nullptr;
};

} // namespace tamo
