#include "settings/IgnoredAppsList.h"

#include "model/SettingsKeys.h"
#include "platform/AppChooser.h"
#include "platform/Defaults.h"
#include "platform/Symbols.h"
#include "platform/Workspace.h"
#include "settings/AppListRow.h"
#include "settings/FormKit.h"

#include <QHBoxLayout>
#include <QHash>
#include <QSet>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace tamo {

IgnoredAppsList::IgnoredAppsList(Defaults &defaults, const Workspace &workspace, AppChooser &chooser, QWidget *parent)
    : QWidget(parent)
    , m_defaults(defaults)
    , m_workspace(workspace)
    , m_chooser(chooser)
    , m_apps(defaults.stringList(keys::ignoredApps))
    , m_rows(new QVBoxLayout)
    , m_remove(listBarButton(QStringLiteral("minus"), QStringLiteral("Stop ignoring the selected app"), this))
{
    QToolButton *add = listBarButton(QStringLiteral("plus"), QStringLiteral("Add an app"), this);
    connect(add, &QToolButton::clicked, this, &IgnoredAppsList::addApps);
    connect(m_remove, &QToolButton::clicked, this, &IgnoredAppsList::removeSelectedApp);
    layOutAppList(this, m_rows, add, m_remove);
    showApps();
}

void IgnoredAppsList::select(const QString &bundleID)
{
    m_selection = bundleID;
    for (AppListRow *row : findChildren<AppListRow *>())
        row->setSelected(row->bundleID() == bundleID);
    m_remove->setEnabled(!m_selection.isEmpty());
}

void IgnoredAppsList::addApps()
{
    const std::optional<QStringList> chosen = m_chooser.chooseApps(QStringLiteral("Ignore"));
    if (!chosen)
        return;
    for (const QString &bundleID : *chosen) {
        if (!bundleID.isEmpty() && bundleID != ownBundleID && !m_apps.contains(bundleID))
            m_apps.append(bundleID);
    }
    store();
}

void IgnoredAppsList::removeSelectedApp()
{
    if (m_selection.isEmpty())
        return;
    const QString name = appDisplayName(m_workspace, m_selection);
    m_apps.removeIf([&](const QString &bundleID) { return appDisplayName(m_workspace, bundleID) == name; });
    m_selection.clear();
    store();
}

void IgnoredAppsList::store()
{
    m_defaults.setValue(keys::ignoredApps, m_apps);
    showApps();
}

// An app listed under two ids (its package's and its Flatpak's) is one row,
// shown by the id that is installed; removing the row removes both.
QStringList IgnoredAppsList::shownApps() const
{
    QSet<QString> installed;
    for (const AppInfo &app : m_workspace.installedApps())
        installed.insert(app.bundleID);
    QStringList shown;
    QHash<QString, qsizetype> rowOfName;
    for (const QString &bundleID : m_apps) {
        const QString name = appDisplayName(m_workspace, bundleID);
        const auto row = rowOfName.constFind(name);
        if (row == rowOfName.cend()) {
            rowOfName.insert(name, shown.size());
            shown.append(bundleID);
        } else if (!installed.contains(shown.at(*row)) && installed.contains(bundleID)) {
            shown[*row] = bundleID;
        }
    }
    return shown;
}

void IgnoredAppsList::showApps()
{
    while (QLayoutItem *item = m_rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const QString &bundleID : shownApps()) {
        auto *row = new AppListRow(m_workspace, bundleID, this);
        connect(row, &AppListRow::clicked, this, &IgnoredAppsList::select);
        m_rows->addWidget(row);
    }
    if (m_apps.isEmpty()) {
        QLabel *none = secondaryLabel(QStringLiteral("No apps are ignored."), 13, this);
        none->setContentsMargins(0, 8, 0, 8);
        m_rows->addWidget(none);
    }
    select(m_selection);
}

} // namespace tamo
