#include "platform/Relauncher.h"

#include <QCoreApplication>
#include <QProcess>

namespace tamo {

ProcessRelauncher::ProcessRelauncher(QString executable)
    : m_executable(std::move(executable))
{
}

QStringList ProcessRelauncher::arguments(const QString &executable, qint64 pid)
{
    return {QStringLiteral("-c"),
            QStringLiteral("while /bin/kill -0 %1 2>/dev/null; do /bin/sleep 0.2; done; exec \"$0\"").arg(pid),
            executable};
}

bool ProcessRelauncher::relaunch()
{
    if (!QProcess::startDetached(QStringLiteral("/bin/sh"), arguments(m_executable, QCoreApplication::applicationPid())))
        return false;
    QCoreApplication::quit();
    return true;
}

} // namespace tamo
