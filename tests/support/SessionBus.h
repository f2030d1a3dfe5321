#pragma once

#include <QProcess>
#include <QTest>

namespace tamo::testing {

// A session bus of the test's own, so D-Bus tests need no desktop session
// and see no other programs' traffic. Stopped when the test ends.
class SessionBus
{
public:
    SessionBus()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        const bool answered = QTest::qWaitFor([this] {
            m_output += m_daemon.readAllStandardOutput();
            return m_output.contains('\n') || m_daemon.state() == QProcess::NotRunning;
        }, 10000);
        if (answered)
            m_address = QString::fromUtf8(m_output).section(QLatin1Char('\n'), 0, 0).trimmed();
    }
    ~SessionBus()
    {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(2000))
            m_daemon.kill();
    }

    // Empty when no bus could be started.
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QByteArray m_output;
    QString m_address;
};

} // namespace tamo::testing
