#include "platform/Relauncher.h"

#include "support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <unistd.h>
#include <gtest/gtest.h>

namespace tamo {
namespace {

// The new instance starts only once the old process has gone, and outlives it.
TEST(ProcessRelauncher, StartsTheAppAgainOnlyAfterThisProcessHasExited)
{
    testing::TempDir dir;
    const QString marker = dir.file(QStringLiteral("marker"));
    const QString script = dir.file(QStringLiteral("app.sh"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nif /bin/kill -0 \"$RELAUNCHED_FROM\" 2>/dev/null; then echo early; else echo after; fi > \"$MARKER.part\"\n"
               "mv \"$MARKER.part\" \"$MARKER\"\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MARKER"), marker);
    helper.setProcessEnvironment(environment);
    helper.setProgram(QStringLiteral(TAMO_RELAUNCH_CHILD));
    helper.setArguments({script});
    // The helper's pid reaches the script through the environment it hands down.
    helper.setChildProcessModifier([] { qputenv("RELAUNCHED_FROM", QByteArray::number(::getpid())); });
    helper.start();
    ASSERT_TRUE(helper.waitForFinished(10'000));
    EXPECT_EQ(helper.exitCode(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 10'000));
    QFile result(marker);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(result.readAll(), QByteArray("after\n"));
}

} // namespace
} // namespace tamo
