#pragma once

#include "platform/ProgramCopies.h"

#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <optional>

namespace tamo {

class Alerts;
class Clock;
class Defaults;

// All copies of TamoCove share one history, so only one may run. A copy
// installed in one of the install folders quits older running copies of
// other places at launch and closes copies started later that don't do the
// same; copies run from elsewhere (a download, a build folder) are left
// alone, as is a second process of the very same copy. Once per launch it
// offers one extra installed copy for the trash, each copy once.
class SecondCopyGuard : public QObject
{
    Q_OBJECT

public:
    struct Services
    {
        ProgramCopies &copies;
        Alerts &alerts;
        // Points an enabled login item at this copy, rewriting it in place.
        std::function<void()> refreshLoginItem;
        const Clock &clock;
        // Runs the event loop for a while; the launch wait spins in such steps.
        std::function<void(int ms)> pause;
        // Runs an action later on the main thread.
        std::function<void(int ms, std::function<void()>)> later;
    };

    static constexpr int launchWaitMs = 3000;
    static constexpr int forcedExitWaitMs = 2000;
    static constexpr int launchWaitStepMs = 100;
    static constexpr int watchIntervalMs = 1000;
    static constexpr int forceQuitDelayMs = 2000;
    static constexpr int closedAlertDelayMs = 500;
    static constexpr int launchOfferDelayMs = 1500;

    // `installFolders`: the folders that hold installed copies directly.
    SecondCopyGuard(const Services &services, QStringList installFolders, QObject *parent = nullptr);

    // ~/Applications (AppImages), ~/.local/bin, /usr/local/bin and /usr/bin.
    static QStringList standardInstallFolders();
    // Real pauses and timers of the event loop.
    static Services realServices(ProgramCopies &copies, Alerts &alerts, std::function<void()> refreshLoginItem,
                                 const Clock &clock, QObject *owner);

    bool isInstalled(const QString &location) const;
    // Running copies of another place that lies in an install folder.
    QList<RunningCopy> runningCopies() const;
    // Installed copies other than this one.
    QStringList installedCopies() const;

    // Before the settings and the store are read, so that a copy it quits
    // has saved both: quits older running copies (forcing those still
    // running after 3 s, and waiting for them to end) and starts watching
    // for later ones. True when it ended some.
    bool terminateRunningCopies();
    // After the core started: points the login item at this copy once on an
    // existing installation, and offers one extra installed copy for the trash.
    void run(bool existingInstall, Defaults &defaults);

    // One look for copies started since; the watch timer runs it.
    void handleRunningCopiesChange();

private:
    void forceQuitIfStillRunning(qint64 pid);
    void offerToTrashExtraCopy(const std::optional<QString> &location, bool wasRunning);
    static QString displayName(const std::optional<QString> &location);

    Services m_services;
    QStringList m_installFolders;
    QSet<qint64> m_handledProcessIDs;
    QSet<qint64> m_seenLastLook;
    bool m_watching = false;
};

} // namespace tamo
