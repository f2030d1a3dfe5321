#include "platform/x11/CanberraSounds.h"

#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using tamo::testing::TempDir;

// A machine without a sound device: playing neither blocks nor floods
// stderr with the sound library's complaints; one line says it, once.
TEST(CanberraSounds, WithoutASoundDeviceSaysSoOnceThenStaysQuiet)
{
    TempDir dir;
    const QString noDevices = dir.file(QStringLiteral("asound.conf"));
    QFile(noDevices).open(QIODevice::WriteOnly);
    ::setenv("ALSA_CONFIG_PATH", QFile::encodeName(noDevices).constData(), 1);
    ::setenv("CANBERRA_DRIVER", "alsa", 1);

    const QString logPath = dir.file(QStringLiteral("stderr"));
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int log = ::open(QFile::encodeName(logPath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(log, STDERR_FILENO);
    {
        tamo::x11::CanberraSounds sounds;
        for (int i = 0; i < 3; ++i)
            sounds.play(QStringLiteral("Bottle"));
    }
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    ::close(log);

    QFile written(logPath);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(written.readAll());
    EXPECT_EQ(text.count(u'\n'), 1) << text.toStdString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("TamoCove: sounds are unavailable"))) << text.toStdString();
}
