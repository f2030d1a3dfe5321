#pragma once

#include "ActiveWindow.h"

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace tamo::testing {

// A program running beside the test, stopped when the test ends. Waiting for
// its output runs the event loop, so the test process keeps serving the
// clipboard meanwhile.
class ChildProcess
{
public:
    ChildProcess(const QString &program, const QStringList &arguments,
                 const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        m_process.setProcessEnvironment(environment);
        m_process.start(program, arguments);
        EXPECT_TRUE(m_process.waitForStarted()) << program.toStdString() << " did not start";
    }

    ~ChildProcess()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(2000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    qint64 pid() const { return m_process.processId(); }
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    void write(const QByteArray &input) { m_process.write(input); }

    bool waitForLine(const QString &line, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return lines().contains(line); }, timeoutMs);
    }

    QStringList lines()
    {
        m_output += m_process.readAllStandardOutput();
        return QString::fromUtf8(m_output).split(QLatin1Char('\n'));
    }

private:
    QProcess m_process;
    QByteArray m_output;
};

// The test peer's editor window: another app, in front with the keyboard,
// printing what is pasted into it. A resource name sets its WM_CLASS instance.
inline std::unique_ptr<ChildProcess> startEditor(const QString &resourceName = QString())
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!resourceName.isEmpty())
        environment.insert(QStringLiteral("RESOURCE_NAME"), resourceName);
    auto editor = std::make_unique<ChildProcess>(QStringLiteral(TAMO_X11_TEST_PEER),
                                                 QStringList{QStringLiteral("editor")}, environment);
    EXPECT_TRUE(editor->waitForLine(QStringLiteral("focus-in")));
    EXPECT_TRUE(waitUntilActive(editor->pid())) << "the window manager did not make the editor active";
    return editor;
}

// What another client reads from the clipboard as the given target.
inline QByteArray readClipboardWithXclip(const QString &target)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                          QStringLiteral("clipboard"), QStringLiteral("-t"), target});
    QByteArray output;
    const bool finished = QTest::qWaitFor([&] {
        output += xclip.readAllStandardOutput();
        return xclip.state() == QProcess::NotRunning;
    }, 10000);
    EXPECT_TRUE(finished) << "xclip -o hung";
    return output + xclip.readAllStandardOutput();
}

} // namespace tamo::testing
