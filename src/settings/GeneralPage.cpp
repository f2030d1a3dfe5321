#include "settings/GeneralPage.h"

#include "app/AppModel.h"
#include "model/ProductLinks.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/KeyNames.h"
#include "platform/LoginItem.h"
#include "platform/Workspace.h"
#include "settings/DefaultsBindings.h"
#include "settings/HistoryCapacityControl.h"
#include "settings/PasteNoticeSample.h"
#include "settings/Pickers.h"
#include "settings/SettingsEnvironment.h"
#include "settings/StatusBadge.h"
#include "settings/SupportReportButton.h"
#include "settings/SwitchToggle.h"
#include "settings/SyncStatusLine.h"
#include "transfer/CloudSync.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>

namespace tamo {

namespace {

constexpr double sampleScale = 0.7;

QPushButton *linkButton(const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    QPalette colours = button->palette();
    colours.setColor(QPalette::ButtonText, colours.color(QPalette::Link));
    button->setPalette(colours);
    return button;
}

} // namespace

GeneralPage::GeneralPage(SettingsEnvironment &environment, QWidget *parent)
    : SettingsForm(parent)
    , m_env(environment)
{
    addStartup();
    addSync();
    addHistory();
    addPasting();
    addOther();
    addSupport();
    // What Accessibility allows is read again each time the page is shown.
    QTimer::singleShot(0, this, [this] { m_env.model.refreshPermissions(); });
}

void GeneralPage::addStartup()
{
    auto *launch = new SwitchToggle;
    LoginItem &loginItem = m_env.loginItem;
    launch->setChecked(loginItem.isEnabled());
    connect(launch, &SwitchToggle::clicked, launch, [launch, &loginItem](bool on) {
        // A failed change shows the state the desktop will really start with.
        if (!loginItem.setEnabled(on))
            launch->setChecked(loginItem.isEnabled());
    });
    addSection(QStringLiteral("Startup"))->addRow(QStringLiteral("Launch TamoCove at Login"), {}, launch);
}

void GeneralPage::addSync()
{
    Defaults &defaults = m_env.defaults;
    auto *toggle = new SwitchToggle;
    // Shows the stored choice: switching never applies in place but asks to restart.
    followKeys(toggle, defaults, {keys::iCloudSync}, [toggle, &defaults] { toggle->setChecked(CloudSync::isEnabled(defaults)); });
    connect(toggle, &SwitchToggle::clicked, toggle, [this, toggle, &defaults](bool on) {
        CloudSync::confirmToggle(on, defaults, m_env.alerts, m_env.relauncher);
        toggle->setChecked(CloudSync::isEnabled(defaults));
    });
    FormSection *section = addSection(QStringLiteral("Sync"));
    section->addRow(QStringLiteral("Sync History and Pinboards"),
                    QStringLiteral("Your computers share one history and its capacity through the sync folder. "
                                   "Images over 10 MB stay on the computer that copied them."),
                    toggle);
    section->addWidget(new SyncStatusLine(m_env.model.sync(), defaults, m_env.model.clock()));
}

void GeneralPage::addHistory()
{
    FormSection *section = addSection(QStringLiteral("History"));
    section->addRow(QStringLiteral("History Capacity"), {}, new HistoryCapacityControl(m_env.model, m_env.defaults));

    auto *buttons = new QWidget;
    auto *row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    auto *last24Hours = new QPushButton(QStringLiteral("Last 24 Hours…"), buttons);
    auto *all = new QPushButton(QStringLiteral("All History…"), buttons);
    row->addWidget(last24Hours);
    row->addWidget(all);
    AppModel &model = m_env.model;
    connect(last24Hours, &QPushButton::clicked, this, [&model] { model.clearLast24Hours(); });
    connect(all, &QPushButton::clicked, this, [&model] { model.clearHistory(); });
    section->addRow(QStringLiteral("Clear History"), {}, buttons);
    section->setFooter(QStringLiteral("Pinned items and pinboards are always kept."));
}

void GeneralPage::addPasting()
{
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    const QString pasteKeys = keyNames(QStringLiteral("⌘V"));
    FormSection *section = addSection(QStringLiteral("Pasting"));
    section->addRow(QStringLiteral("Direct Paste"),
                    QStringLiteral("Picking a clip pastes it into the app you're in. When off, TamoCove copies the "
                                   "clip and you press %1.").arg(pasteKeys),
                    boundSwitch(defaults, keys::directPaste, [&model](bool on) { model.setDirectPaste(on); }));

    auto *status = new StatusBadge;
    m_status = section->addRow(QStringLiteral("Status"), {}, status);
    // X11 grants synthetic input without asking; it only lacks it without XTest.
    m_accessibilityNeeded = section->addRow(
        QStringLiteral("Accessibility Needed"),
        QStringLiteral("TamoCove types %1 for you through the X server's XTest extension, which this display "
                       "lacks.").arg(pasteKeys));

    auto *notice = new PopUpPicker({{QStringLiteral("Card with %1 Tip").arg(pasteKeys), rawValue(PasteNotice::card)},
                                    {QStringLiteral("Icon Only"), rawValue(PasteNotice::icon)},
                                    {QStringLiteral("None"), rawValue(PasteNotice::none)}});
    m_pasteNotice = section->addRow(QStringLiteral("Paste Notice"),
                                    QStringLiteral("What TamoCove shows after copying the clip you picked."), notice);
    auto *sample = new PasteNoticeSample(currentPasteNotice(defaults), sampleScale);
    m_sample = sample;
    section->addWidget(sample);
    connect(notice, &PopUpPicker::picked, this, [&defaults](const QVariant &value) {
        defaults.setValue(keys::pasteNotice, value.toString());
    });
    followKeys(notice, defaults, {keys::pasteNotice}, [notice, sample, &defaults] {
        notice->setCurrentValue(rawValue(currentPasteNotice(defaults)));
        sample->setNotice(currentPasteNotice(defaults));
    });

    section->addRow(QStringLiteral("Always Paste as Plain Text"), {}, boundSwitch(defaults, keys::alwaysPlainText));

    followKeys(this, defaults, {keys::directPaste}, [this] { showPastingRows(); });
    connect(&model, &AppModel::accessibilityGrantedChanged, this, &GeneralPage::showPastingRows);
}

void GeneralPage::showPastingRows()
{
    const bool direct = m_env.defaults.boolValue(keys::directPaste);
    const bool granted = m_env.model.accessibilityGranted();
    static_cast<StatusBadge *>(m_status->control())
        ->showActive(granted, QStringLiteral("Waiting for Accessibility access"));
    m_status->setVisible(direct);
    m_accessibilityNeeded->setVisible(direct && !granted);
    m_pasteNotice->setVisible(!direct);
    m_sample->setVisible(!direct);
}

void GeneralPage::addOther()
{
    FormSection *section = addSection(QStringLiteral("Other"));
    section->addRow(QStringLiteral("Sound Effects"), {}, boundSwitch(m_env.defaults, keys::soundEffects));
    section->addRow(QStringLiteral("Show TamoCove in the Tray"), {},
                    boundSwitch(m_env.defaults, keys::showMenuBarIcon));
}

void GeneralPage::addSupport()
{
    Workspace &workspace = m_env.model.workspace();
    FormSection *section = addSection(QStringLiteral("Support"));
    QPushButton *coffee = linkButton(QStringLiteral("☕ Buy Me a Coffee"), this);
    connect(coffee, &QPushButton::clicked, this, [&workspace] { workspace.openURL(ProductLinks::donation()); });
    section->addRow(QStringLiteral("Support TamoCove"),
                    QStringLiteral("TamoCove is free. If it saves you time, a coffee helps keep it going."), coffee);
    auto *report = new SupportReportButton(m_env.model.onboarding(), workspace, m_env.alerts);
    section->addRow(QStringLiteral("Support Report"),
                    QStringLiteral("If something goes wrong, export this and send it to the developer. It contains "
                                   "logs and settings, never your clips."),
                    report);
}

} // namespace tamo
