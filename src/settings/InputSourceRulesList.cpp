#include "settings/InputSourceRulesList.h"

#include "app/AppHooks.h"
#include "model/SettingsKeys.h"
#include "platform/AppChooser.h"
#include "platform/Defaults.h"
#include "platform/Symbols.h"
#include "settings/AppListRow.h"
#include "settings/FormKit.h"
#include "settings/Pickers.h"

#include <QCollator>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace tamo {

InputSourceRulesList::InputSourceRulesList(Defaults &defaults, const Workspace &workspace, const BonusTools &bonus,
                                           AppChooser &chooser, QWidget *parent)
    : QWidget(parent)
    , m_defaults(defaults)
    , m_workspace(workspace)
    , m_bonus(bonus)
    , m_chooser(chooser)
    , m_rows(new QVBoxLayout)
    , m_add(listBarButton(QStringLiteral("plus"), QStringLiteral("Add an app"), this))
    , m_remove(listBarButton(QStringLiteral("minus"), QStringLiteral("Stop switching for the selected app"), this))
{
    connect(m_add, &QToolButton::clicked, this, &InputSourceRulesList::addApps);
    connect(m_remove, &QToolButton::clicked, this, &InputSourceRulesList::removeSelectedRule);
    layOutAppList(this, m_rows, m_add, m_remove);
    reload();
}

void InputSourceRulesList::reload()
{
    m_rules = m_defaults.dictionary(keys::inputSourceRules);
    m_layouts = m_bonus.keyboardLayouts();
    showRules();
}

void InputSourceRulesList::select(const QString &bundleID)
{
    m_selection = bundleID;
    for (AppListRow *row : findChildren<AppListRow *>())
        row->setSelected(row->bundleID() == bundleID);
    m_remove->setEnabled(!m_selection.isEmpty());
}

void InputSourceRulesList::addApps()
{
    QString layout = m_bonus.currentKeyboardLayout();
    if (layout.isEmpty() && !m_layouts.isEmpty())
        layout = m_layouts.first().id;
    if (layout.isEmpty())
        return;
    const std::optional<QStringList> chosen = m_chooser.chooseApps(QStringLiteral("Add"));
    if (!chosen)
        return;
    for (const QString &bundleID : *chosen) {
        // An app that has a rule keeps its layout.
        if (!bundleID.isEmpty() && bundleID != ownBundleID && !m_rules.contains(bundleID))
            m_rules.insert(bundleID, layout);
    }
    store();
}

void InputSourceRulesList::removeSelectedRule()
{
    if (m_selection.isEmpty())
        return;
    m_rules.remove(m_selection);
    m_selection.clear();
    store();
}

void InputSourceRulesList::setRuleSource(const QString &bundleID, const QString &layoutID)
{
    // The rule's pop-up already shows the choice: the rows stay, as it is
    // still emitting when this runs.
    m_rules.insert(bundleID, layoutID);
    m_defaults.setValue(keys::inputSourceRules, m_rules);
}

void InputSourceRulesList::store()
{
    m_defaults.setValue(keys::inputSourceRules, m_rules);
    showRules();
}

QWidget *InputSourceRulesList::layoutMenu(const QString &bundleID)
{
    auto *menu = new PopUpPicker({});
    menu->setAccessibleName(QStringLiteral("Keyboard Layout"));
    const QString current = m_rules.value(bundleID).toString();
    for (const KeyboardLayout &layout : std::as_const(m_layouts))
        menu->addItem(symbolIcon(QStringLiteral("keyboard")), layout.name, layout.id);
    if (menu->findData(current) < 0)
        menu->addItem(QStringLiteral("Not available"), current);
    menu->setCurrentValue(current);
    connect(menu, &PopUpPicker::picked, this,
            [this, bundleID](const QVariant &layoutID) { setRuleSource(bundleID, layoutID.toString()); });
    return menu;
}

void InputSourceRulesList::showRules()
{
    while (QLayoutItem *item = m_rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    QStringList apps = m_rules.keys();
    QCollator byName;
    byName.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(apps.begin(), apps.end(), [&](const QString &a, const QString &b) {
        return byName.compare(appDisplayName(m_workspace, a), appDisplayName(m_workspace, b)) < 0;
    });
    for (const QString &bundleID : std::as_const(apps)) {
        auto *row = new AppListRow(m_workspace, bundleID, this);
        auto *rowLayout = new QHBoxLayout;
        rowLayout->setContentsMargins(0, 0, 0, 0);
        rowLayout->addWidget(row, 1);
        rowLayout->addWidget(layoutMenu(bundleID));
        connect(row, &AppListRow::clicked, this, &InputSourceRulesList::select);
        auto *holder = new QWidget(this);
        holder->setLayout(rowLayout);
        m_rows->addWidget(holder);
    }
    if (apps.isEmpty()) {
        QLabel *none = secondaryLabel(QStringLiteral("No apps yet."), 13, this);
        none->setContentsMargins(0, 8, 0, 8);
        m_rows->addWidget(none);
    }
    m_add->setEnabled(!m_layouts.isEmpty());
    select(m_rules.contains(m_selection) ? m_selection : QString());
}

} // namespace tamo
