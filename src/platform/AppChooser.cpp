#include "platform/AppChooser.h"

#include "platform/WindowServer.h"
#include "platform/Workspace.h"

#include <QCollator>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

namespace tamo {

namespace {

struct Choice
{
    AppInfo app;
    QIcon icon;
};

// What rules and the ignore list can name: every installed app, and the
// running ones that are known by their window alone.
QList<Choice> choices(const Workspace &workspace, const WindowServer &windows)
{
    QList<Choice> all;
    QSet<QString> listed;
    for (const AppInfo &app : workspace.installedApps()) {
        all.append({app, workspace.icon(app.bundleID)});
        listed.insert(app.bundleID);
    }
    for (const RunningApp &running : windows.runningApps()) {
        if (running.policy == ActivationPolicy::regular && running.info.isValid()
            && !listed.contains(running.info.bundleID)) {
            all.append({running.info, running.icon});
            listed.insert(running.info.bundleID);
        }
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(all.begin(), all.end(),
                     [&](const Choice &a, const Choice &b) { return collator.compare(a.app.name, b.app.name) < 0; });
    return all;
}

} // namespace

DialogAppChooser::DialogAppChooser(const Workspace &workspace, const WindowServer &windows)
    : m_workspace(workspace)
    , m_windows(windows)
{
}

std::optional<QStringList> DialogAppChooser::chooseApps(const QString &prompt)
{
    QDialog dialog;
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.setWindowTitle(QStringLiteral("Choose Applications"));
    dialog.resize(420, 480);

    auto *filter = new QLineEdit(&dialog);
    filter->setPlaceholderText(QStringLiteral("Search"));
    filter->setAccessibleName(QStringLiteral("Search applications"));
    filter->setClearButtonEnabled(true);

    auto *list = new QListWidget(&dialog);
    list->setAccessibleName(QStringLiteral("Applications"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setIconSize(QSize(24, 24));
    for (const auto &[app, icon] : choices(m_workspace, m_windows)) {
        auto *item = new QListWidgetItem(icon, app.name.isEmpty() ? app.bundleID : app.name, list);
        item->setData(Qt::UserRole, app.bundleID);
        item->setToolTip(app.bundleID);
    }

    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *choose = buttons->addButton(prompt, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    choose->setDefault(true);
    choose->setEnabled(false);
    QObject::connect(list, &QListWidget::itemSelectionChanged, choose,
                     [list, choose] { choose->setEnabled(!list->selectedItems().isEmpty()); });
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(filter, &QLineEdit::textChanged, list, [list](const QString &text) {
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem *item = list->item(row);
            item->setHidden(!item->text().contains(text, Qt::CaseInsensitive)
                            && !item->data(Qt::UserRole).toString().contains(text, Qt::CaseInsensitive));
        }
    });

    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(filter);
    layout->addWidget(list);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QStringList chosen;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            chosen.append(list->item(row)->data(Qt::UserRole).toString());
    }
    return chosen;
}

} // namespace tamo
