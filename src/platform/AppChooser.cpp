#include "platform/AppChooser.h"

#include "platform/Workspace.h"

#include <QCollator>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tamo {

DialogAppChooser::DialogAppChooser(const Workspace &workspace)
    : m_workspace(workspace)
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
    QList<AppInfo> apps = m_workspace.installedApps();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(apps.begin(), apps.end(),
                     [&](const AppInfo &a, const AppInfo &b) { return collator.compare(a.name, b.name) < 0; });
    for (const AppInfo &app : apps) {
        auto *item = new QListWidgetItem(m_workspace.icon(app.bundleID), app.name.isEmpty() ? app.bundleID : app.name,
                                         list);
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
