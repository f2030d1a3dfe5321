#pragma once

#include "bonus/RecentWindows.h"
#include "bonus/WindowSwitcherCatalog.h"
#include "model/DefaultSettings.h"
#include "platform/Defaults.h"
#include "support/FakeAccessibility.h"
#include "support/FakeScreens.h"
#include "support/FakeWindowServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tamo::testing {

inline constexpr qint64 ownPid = 999;

// A desktop of fake apps and windows with the switcher's catalog over it.
class SwitcherFixture : public ::testing::Test
{
protected:
    SwitcherFixture() { registerDefaultSettings(defaults); }

    // An app with windows, given front to back.
    void addApp(qint64 pid, const QString &name, const QList<quint32> &numbers,
                ActivationPolicy policy = ActivationPolicy::regular)
    {
        server.addApp(pid, name, policy);
        for (quint32 number : numbers) {
            FakeWindowServer::Window window;
            window.number = number;
            window.pid = pid;
            window.title = name + QStringLiteral(" ") + QString::number(number);
            server.add(window);
        }
    }

    QStringList rowIDs()
    {
        QStringList ids;
        for (const WindowSwitcherRow &row : catalog.rows())
            ids.append(row.id);
        return ids;
    }

    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    FakeWindowServer server;
    FakeAccessibility accessibility;
    FakeScreens screens;
    RecentWindows recent;
    WindowSwitcherCatalog catalog{server, accessibility, defaults, recent, ownPid};
};

} // namespace tamo::testing
