#pragma once

#include <QWidget>

class QPushButton;

namespace tamo {

class Alerts;
class OnboardingService;
class Spinner;
class Workspace;

// The support report's button: "Collecting…" with a spinner while the report
// is made, one report at a time; the written report is shown in the file
// manager (or its place told when none can show it), a failure in an alert.
class SupportReportButton : public QWidget
{
    Q_OBJECT

public:
    SupportReportButton(OnboardingService &onboarding, Workspace &workspace, Alerts &alerts,
                        QWidget *parent = nullptr);

    QPushButton *button() const { return m_button; }
    bool isExporting() const;

private:
    void exportReport();
    void setExporting(bool exporting);
    void tellWhereSaved(const QString &path);

    OnboardingService &m_onboarding;
    Workspace &m_workspace;
    Alerts &m_alerts;
    Spinner *m_spinner;
    QPushButton *m_button;
};

} // namespace tamo
