#include "transfer/TransferServices.h"

#include "platform/Alerts.h"

namespace tamo {

void showErrorAlert(Alerts &alerts, const QString &title, const QString &error)
{
    alerts.runModal(AlertSpec::failure(title, error));
}

QString counted(qsizetype count, const QString &noun)
{
    return QString::number(count) + u' ' + noun + (count == 1 ? QString() : QStringLiteral("s"));
}

} // namespace tamo
