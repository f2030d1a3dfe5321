#include "platform/x11/DBusLauncherBadges.h"

#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

// Sends the launcher-entry signal the way apps do, from another process on
// the session bus (gdbus joins it only through --session).
void emitUpdate(const QString &app, const QString &properties)
{
    QProcess gdbus;
    gdbus.start(QStringLiteral("gdbus"),
                {QStringLiteral("emit"), QStringLiteral("--session"), QStringLiteral("--object-path"),
                 QStringLiteral("/com/canonical/unity/launcherentry/1"), QStringLiteral("--signal"),
                 QStringLiteral("com.canonical.Unity.LauncherEntry.Update"),
                 QStringLiteral("'application://%1.desktop'").arg(app), properties});
    gdbus.waitForFinished(5000);
}

TEST(DBusLauncherBadgesTest, FollowsCountsAndTheirVisibility)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "no session bus: run the suite through ctest";
    x11::DBusLauncherBadges badges;
    QSignalSpy changes(&badges, &x11::DBusLauncherBadges::changed);

    const struct
    {
        const char *app;
        const char *properties;
        QHash<QString, QString> expected;
    } steps[] = {
        {"org.mail.Client", "{'count': <int64 3>, 'count-visible': <true>}", {{"org.mail.Client", "3"}}},
        {"chat", "{'count': <int64 12>}", {{"org.mail.Client", "3"}}},
        {"chat", "{'count-visible': <true>}", {{"org.mail.Client", "3"}, {"chat", "12"}}},
        {"org.mail.Client", "{'count-visible': <false>}", {{"chat", "12"}}},
        {"chat", "{'count': <int64 0>}", {}},
    };
    for (const auto &step : steps) {
        const qsizetype before = changes.count();
        emitUpdate(QLatin1String(step.app), QLatin1String(step.properties));
        ASSERT_TRUE(changes.wait(5000) || changes.count() > before) << step.properties;
        EXPECT_EQ(badges.badges(), step.expected) << step.app << " " << step.properties;
    }
}

} // namespace
