#include "settings/SupportReportButton.h"

#include "app/AppHooks.h"
#include "platform/Alerts.h"
#include "platform/Workspace.h"
#include "settings/Spinner.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

namespace tamo {

SupportReportButton::SupportReportButton(OnboardingService &onboarding, Workspace &workspace, Alerts &alerts,
                                         QWidget *parent)
    : QWidget(parent)
    , m_onboarding(onboarding)
    , m_workspace(workspace)
    , m_alerts(alerts)
    , m_spinner(new Spinner(14, this))
    , m_button(new QPushButton(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_spinner);
    layout->addWidget(m_button);
    connect(m_button, &QPushButton::clicked, this, &SupportReportButton::exportReport);
    // As wide while collecting as before, so the row does not jump.
    int widest = 0;
    for (const bool exporting : {true, false}) {
        setExporting(exporting);
        widest = std::max(widest, m_button->sizeHint().width());
    }
    m_button->setMinimumWidth(widest);
}

bool SupportReportButton::isExporting() const
{
    return !m_button->isEnabled();
}

void SupportReportButton::exportReport()
{
    setExporting(true);
    m_onboarding.createSupportReport(this, [this](const SupportReportResult &result) {
        setExporting(false);
        if (!result.error.isEmpty())
            m_alerts.runModal(AlertSpec::failure(QStringLiteral("Couldn't export the support report"), result.error));
        else if (!result.path.isEmpty())
            m_workspace.revealFile(result.path, [button = QPointer(this), path = result.path] {
                if (button)
                    button->tellWhereSaved(path);
            });
    });
}

// Without a file manager to show it, the report would seem never written.
void SupportReportButton::tellWhereSaved(const QString &path)
{
    m_alerts.runModal({QStringLiteral("Support report saved"),
                       QStringLiteral("It is at “%1”. No file manager could show its folder.").arg(path), {}, -1});
}

void SupportReportButton::setExporting(bool exporting)
{
    m_spinner->setVisible(exporting);
    m_button->setEnabled(!exporting);
    m_button->setText(exporting ? QStringLiteral("Collecting…") : QStringLiteral("Export Support Report…"));
}

} // namespace tamo
