#include "platform/FilePanels.h"

#include <QDir>
#include <QFileDialog>

namespace tamo {

namespace {

QString nameFilter(const FileType &type)
{
    QStringList globs;
    for (const QString &suffix : type.suffixes)
        globs.append(QStringLiteral("*.") + suffix);
    return type.description + QStringLiteral(" (") + globs.join(u' ') + u')';
}

std::optional<QString> run(QFileDialog &dialog)
{
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> DialogFilePanels::chooseSaveFile(const FileType &type, const QString &proposedName)
{
    QFileDialog dialog(nullptr, QString(), QDir::homePath());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(nameFilter(type));
    dialog.setDefaultSuffix(type.suffixes.value(0));
    dialog.selectFile(proposedName + u'.' + type.suffixes.value(0));
    return run(dialog);
}

std::optional<QString> DialogFilePanels::chooseOpenFile(const FileType &type)
{
    QFileDialog dialog(nullptr, QString(), QDir::homePath());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(nameFilter(type));
    return run(dialog);
}

} // namespace tamo
