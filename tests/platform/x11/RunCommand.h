#pragma once

#include "ChildProcess.h"

namespace tamo::testing {

// Runs a command line (xdotool, xrandr, xset) to its end, serving events
// meanwhile.
inline void runCommand(const QString &commandLine)
{
    QStringList words = QProcess::splitCommand(commandLine);
    const QString program = words.takeFirst();
    ChildProcess process(program, words);
    EXPECT_TRUE(QTest::qWaitFor([&] { return process.pid() == 0; }, 10000)) << commandLine.toStdString() << " hung";
}

} // namespace tamo::testing
