#include "settings/AboutPage.h"

#include "app/AppModel.h"
#include "model/ProductLinks.h"
#include "app/RelativeDate.h"
#include "cards/ViewStyles.h"
#include "model/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/Workspace.h"
#include "settings/DefaultsBindings.h"
#include "settings/SettingsEnvironment.h"
#include "settings/Spinner.h"
#include "settings/SwitchToggle.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamo {

namespace {

QPushButton *pageButton(const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

} // namespace

AboutPage::AboutPage(SettingsEnvironment &environment, QWidget *parent)
    : SettingsForm(parent)
    , m_env(environment)
    , m_updates(environment.model.updates())
{
    addHeader();
    addUpdates();
    addGetStarted();
    checkNow();
}

void AboutPage::addHeader()
{
    auto *header = new QWidget;
    auto *column = new QVBoxLayout(header);
    column->setContentsMargins(0, 10, 0, 10);
    column->setSpacing(6);
    auto *icon = new QLabel(header);
    icon->setPixmap(QApplication::windowIcon().pixmap(88, 88));
    icon->setAccessibleName(QStringLiteral("TamoCove icon"));
    QLabel *name = formLabel(QStringLiteral("TamoCove"), 22, header);
    name->setFont(uiFont(22, QFont::DemiBold));
    QLabel *version = secondaryLabel(QStringLiteral("Version %1 (%2)").arg(m_updates.currentVersion()).arg(m_updates.currentBuild()),
                                     12, header);
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QLabel *about = secondaryLabel(QStringLiteral("A clipboard manager for Linux.\nDesigned and built by the TamoCove "
                                                  "developers."),
                                   11, header);
    about->setAlignment(Qt::AlignHCenter);
    about->setWordWrap(false);
    auto *site = new QPushButton(ProductLinks::websiteHost(), header);
    site->setFlat(true);
    site->setCursor(Qt::PointingHandCursor);
    QPalette link = site->palette();
    link.setColor(QPalette::ButtonText, link.color(QPalette::Link));
    site->setPalette(link);
    Workspace &workspace = m_env.model.workspace();
    connect(site, &QPushButton::clicked, this, [&workspace] { workspace.openURL(ProductLinks::website()); });
    for (QWidget *part : {static_cast<QWidget *>(icon), static_cast<QWidget *>(name), static_cast<QWidget *>(version),
                          static_cast<QWidget *>(about), static_cast<QWidget *>(site)})
        column->addWidget(part, 0, Qt::AlignHCenter);
    addSection()->addWidget(header);
}

void AboutPage::addUpdates()
{
    FormSection *section = addSection(QStringLiteral("Updates"));
    auto *found = new QWidget;
    auto *row = new QHBoxLayout(found);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    m_spinner = new Spinner(14, found);
    m_found = secondaryLabel(QString(), 12, found);
    m_found->setWordWrap(false);
    m_download = pageButton(QStringLiteral("Download"), found);
    m_download->setDefault(true);
    m_checkButton = pageButton(QString(), found);
    row->addWidget(m_spinner);
    row->addWidget(m_found);
    row->addWidget(m_download);
    row->addWidget(m_checkButton);
    Workspace &workspace = m_env.model.workspace();
    connect(m_download, &QPushButton::clicked, this, [this, &workspace] {
        if (m_release)
            openDownload(workspace, m_release->url);
    });
    connect(m_checkButton, &QPushButton::clicked, this, &AboutPage::checkNow);
    m_latest = section->addRow(QStringLiteral("Latest Version"), {}, found);

    section->addRow(QStringLiteral("Check for Updates Automatically"),
                    QStringLiteral("Once a day TamoCove asks %1 for a newer version. It never installs anything by "
                                   "itself.").arg(ProductLinks::websiteHost()),
                    boundSwitch(m_env.defaults, keys::checkForUpdates));
}

void AboutPage::addGetStarted()
{
    OnboardingService &onboarding = m_env.model.onboarding();
    FormSection *section = addSection(QStringLiteral("Get Started"));
    QPushButton *tour = pageButton(QStringLiteral("Explore Features…"), this);
    connect(tour, &QPushButton::clicked, this, [&onboarding] { onboarding.showWhatsNew(); });
    section->addRow(QStringLiteral("Explore Features"),
                    QStringLiteral("A short tour of TamoCove's features, newest first. Also the light bulb button in "
                                   "the TamoCove panel and the tray."),
                    tour);
    QPushButton *personalize = pageButton(QStringLiteral("Personalize…"), this);
    connect(personalize, &QPushButton::clicked, this, [&onboarding] { onboarding.presentPersonalize({}); });
    section->addRow(QStringLiteral("Make TamoCove Yours"),
                    QStringLiteral("Choose how TamoCove opens and how its cards look, in three quick steps."),
                    personalize);
}

void AboutPage::checkNow()
{
    m_checking = true;
    m_release.reset();
    showCheck();
    m_updates.fetchLatest(this, [this](std::optional<UpdateRelease> release) {
        m_checking = false;
        m_release = std::move(release);
        showCheck();
    });
}

QString AboutPage::updateStatus() const
{
    const QString host = ProductLinks::websiteHost();
    if (m_checking)
        return QStringLiteral("Checking %1…").arg(host);
    QString status;
    if (!m_release)
        status = QStringLiteral("Couldn't reach %1. Check your internet connection.").arg(host);
    else if (m_release->build > m_updates.currentBuild())
        status = QStringLiteral("TamoCove %1 is available. Download it, then install it over this one.")
                     .arg(m_release->version);
    else if (m_release->build < m_updates.currentBuild())
        status = QStringLiteral("You're on a beta, ahead of the latest release.");
    else
        status = QStringLiteral("You're up to date.");
    if (const auto checked = m_env.defaults.date(keys::lastUpdateCheck))
        status += QStringLiteral(" Checked %1.").arg(relativeDateText(*checked, m_env.model.clock().now()));
    return status;
}

bool AboutPage::openDownload(Workspace &workspace, const QUrl &url)
{
    // The feed comes from the network: a file or custom-scheme address in it
    // must not reach the desktop's opener.
    if (url.scheme() != QStringLiteral("https") || url.host().isEmpty())
        return false;
    return workspace.openURL(url);
}

void AboutPage::showCheck()
{
    m_latest->setDescription(updateStatus());
    m_spinner->setVisible(m_checking);
    const bool found = !m_checking && m_release;
    m_found->setVisible(found);
    if (found)
        m_found->setText(QStringLiteral("%1 (%2)").arg(m_release->version).arg(m_release->build));
    m_download->setVisible(found && m_release->build > m_updates.currentBuild());
    m_checkButton->setText(m_checking ? QStringLiteral("Checking…") : QStringLiteral("Check Now"));
    m_checkButton->setEnabled(!m_checking);
}

} // namespace tamo
