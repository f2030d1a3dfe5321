#pragma once

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace tamo::testing {

// Another process holding a store file as a backup tool or the sqlite3 shell
// does: `hold` runs in the shell, whose transaction stays open until
// release() or the end of the holder.
class StoreHeldElsewhere
{
public:
    StoreHeldElsewhere(const QString &storeFile, const QString &hold)
    {
        m_shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), QStringLiteral("-bail"), storeFile});
        m_shell.write(hold.toUtf8() + "\n.print held\n");
        const bool held = QTest::qWaitFor(
            [this] {
                m_output += m_shell.readAllStandardOutput();
                return m_output.contains("held\n") || m_shell.state() == QProcess::NotRunning;
            },
            20'000);
        EXPECT_TRUE(held && m_output.contains("held\n"))
            << "sqlite3 did not hold the store: " << m_shell.readAllStandardError().toStdString();
    }

    ~StoreHeldElsewhere() { release(); }

    // The holder lets go by itself once `seconds` have passed from now,
    // whatever this process is doing meanwhile.
    void releaseAfter(double seconds)
    {
        m_shell.write(QStringLiteral(".shell sleep %1\nCOMMIT;\n.quit\n").arg(seconds).toUtf8());
        EXPECT_TRUE(m_shell.waitForBytesWritten(20'000)) << "sqlite3 was not told to let go";
        m_shell.closeWriteChannel();
        m_lettingGo = true;
    }

    void release()
    {
        if (m_shell.state() == QProcess::NotRunning)
            return;
        if (!m_lettingGo) {
            m_shell.write("COMMIT;\n.quit\n");
            m_shell.closeWriteChannel();
        }
        EXPECT_TRUE(m_shell.waitForFinished(20'000)) << "sqlite3 did not let go of the store";
    }

private:
    QProcess m_shell;
    QByteArray m_output;
    bool m_lettingGo = false;
};

} // namespace tamo::testing
