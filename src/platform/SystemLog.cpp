#include "platform/SystemLog.h"

#include "platform/SessionLog.h"

#include <syslog.h>

namespace tamo {

void writeSystemLog(const QString &category, const QString &message)
{
    // LOG_PID and the ident name us in journalctl; the category leads the line.
    openlog("TamoCove", LOG_PID, LOG_USER);
    syslog(LOG_NOTICE, "%s: %s", category.toUtf8().constData(), message.toUtf8().constData());
    sessionlog::append(category + QStringLiteral(": ") + message);
}

} // namespace tamo
