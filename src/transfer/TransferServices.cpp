#include "transfer/TransferServices.h"

#include "platform/Alerts.h"
#include "transfer/ImportProgress.h"

namespace tamo {

void showErrorAlert(Alerts &alerts, const QString &title, const QString &error)
{
    alerts.runModal(AlertSpec::failure(title, error));
}

bool refusedWhileImporting(ImportProgress &progress, Alerts &alerts)
{
    if (!progress.inUse())
        return false;
    alerts.runModal({QStringLiteral("Another import is under way"),
                     QStringLiteral("Wait for it to finish, or cancel it, then try again."), {}, -1});
    return true;
}

QString counted(qsizetype count, const QString &noun)
{
    return QString::number(count) + u' ' + noun + (count == 1 ? QString() : QStringLiteral("s"));
}

} // namespace tamo
