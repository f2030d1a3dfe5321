#include "onboarding/SecondCopyGuard.h"

#include "model/SettingsKeys.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <cstdio>

namespace tamo {

SecondCopyGuard::SecondCopyGuard(const Services &services, QStringList installFolders, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_installFolders(std::move(installFolders))
{
}

QStringList SecondCopyGuard::standardInstallFolders()
{
    const QString home = QDir::homePath();
    return {home + QStringLiteral("/Applications"), home + QStringLiteral("/.local/bin"),
            QStringLiteral("/usr/local/bin"), QStringLiteral("/usr/bin")};
}

SecondCopyGuard::Services SecondCopyGuard::realServices(ProgramCopies &copies, Alerts &alerts,
                                                        std::function<void()> refreshLoginItem, const Clock &clock,
                                                        QObject *owner)
{
    auto pause = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    QPointer<QObject> guarded(owner);
    auto later = [guarded](int ms, std::function<void()> action) {
        if (guarded)
            QTimer::singleShot(ms, guarded, std::move(action));
    };
    return {copies, alerts, std::move(refreshLoginItem), clock, pause, later};
}

bool SecondCopyGuard::isInstalled(const QString &location) const
{
    // The folder is compared as written: a copy in a sub-folder is not installed.
    return !location.isEmpty() && m_installFolders.contains(QFileInfo(location).absolutePath());
}

QList<RunningCopy> SecondCopyGuard::runningCopies() const
{
    // Locations are resolved paths, so a copy started through a link is the
    // copy it points at, never "another" one.
    const QString own = m_services.copies.ownLocation();
    QList<RunningCopy> copies;
    for (const RunningCopy &copy : m_services.copies.others()) {
        if (!copy.location.isEmpty() && copy.location != own && isInstalled(copy.location))
            copies.append(copy);
    }
    return copies;
}

QStringList SecondCopyGuard::installedCopies() const
{
    const QString own = m_services.copies.ownLocation();
    if (!isInstalled(own))
        return {};
    QStringList copies;
    for (const QString &location : m_services.copies.installedLocations()) {
        if (location != own && isInstalled(location))
            copies.append(location);
    }
    return copies;
}

bool SecondCopyGuard::terminateRunningCopies()
{
    if (!isInstalled(m_services.copies.ownLocation()))
        return false;
    m_services.copies.announceGuard();

    // Only copies started before this one: of two launched together, the
    // later one survives, and the earlier one leaves it alone.
    const qint64 ownStart = m_services.copies.ownStartTicks();
    const qint64 ownPid = QCoreApplication::applicationPid();
    QList<RunningCopy> older;
    for (const RunningCopy &copy : runningCopies()) {
        if (copy.startTicks < ownStart || (copy.startTicks == ownStart && copy.pid < ownPid))
            older.append(copy);
    }
    auto anyRunning = [&] {
        return std::any_of(older.cbegin(), older.cend(),
                           [&](const RunningCopy &copy) { return m_services.copies.isRunning(copy.pid); });
    };
    auto waitForAll = [&](int ms) {
        const QDateTime deadline = m_services.clock.now().addMSecs(ms);
        while (anyRunning() && m_services.clock.now() < deadline)
            m_services.pause(launchWaitStepMs);
    };
    for (const RunningCopy &copy : older)
        m_services.copies.terminate(copy.pid);
    waitForAll(launchWaitMs);
    for (const RunningCopy &copy : older) {
        if (m_services.copies.isRunning(copy.pid))
            m_services.copies.forceTerminate(copy.pid);
    }
    // Until it has ended, a copy still holds the store, and this launch
    // would hand itself over to a copy about to die.
    waitForAll(forcedExitWaitMs);

    m_watching = true;
    for (const RunningCopy &copy : runningCopies())
        m_seenLastLook.insert(copy.pid);
    auto *watch = new QTimer(this);
    watch->setInterval(watchIntervalMs);
    connect(watch, &QTimer::timeout, this, &SecondCopyGuard::handleRunningCopiesChange);
    watch->start();
    return !older.isEmpty();
}

void SecondCopyGuard::handleRunningCopiesChange()
{
    // A copy is judged once it has been seen on two looks in a row: by then a
    // copy that runs this guard has announced so, and it is the one that quits us.
    QSet<qint64> seen;
    QList<RunningCopy> fresh;
    for (const RunningCopy &copy : runningCopies()) {
        seen.insert(copy.pid);
        if (m_seenLastLook.contains(copy.pid) && !m_handledProcessIDs.contains(copy.pid)
            && !m_services.copies.announcesGuard(copy.pid))
            fresh.append(copy);
    }
    m_seenLastLook = seen;
    if (fresh.isEmpty())
        return;

    for (const RunningCopy &copy : fresh) {
        m_handledProcessIDs.insert(copy.pid);
        m_services.copies.terminate(copy.pid);
        m_services.later(forceQuitDelayMs, [this, pid = copy.pid] { forceQuitIfStillRunning(pid); });
    }
    // One alert per look, naming the first copy.
    const QString location = fresh.first().location;
    m_services.later(closedAlertDelayMs, [this, location] {
        offerToTrashExtraCopy(QFileInfo::exists(location) ? std::optional(location) : std::nullopt, true);
    });
}

void SecondCopyGuard::forceQuitIfStillRunning(qint64 pid)
{
    if (m_services.copies.isRunning(pid))
        m_services.copies.forceTerminate(pid);
    m_handledProcessIDs.remove(pid);
}

void SecondCopyGuard::run(bool existingInstall, Defaults &defaults)
{
    if (!defaults.boolValue(keys::renameNoticeShown)) {
        // Marked first: a failure is not retried at every launch.
        defaults.setValue(keys::renameNoticeShown, true);
        if (existingInstall && m_services.refreshLoginItem)
            m_services.refreshLoginItem();
    }

    QStringList offered = defaults.stringList(keys::renameExtraCopiesOffered);
    for (const QString &location : installedCopies()) {
        if (offered.contains(location))
            continue;
        offered.append(location);
        defaults.setValue(keys::renameExtraCopiesOffered, offered);
        m_services.later(launchOfferDelayMs, [this, location] { offerToTrashExtraCopy(location, false); });
        return;
    }
}

QString SecondCopyGuard::displayName(const std::optional<QString> &location)
{
    if (!location)
        return QStringLiteral("Tamo");
    QString name = QFileInfo(*location).fileName();
    const QLatin1String appImage(".AppImage");
    if (name.endsWith(appImage, Qt::CaseInsensitive))
        name.chop(appImage.size());
    return name;
}

void SecondCopyGuard::offerToTrashExtraCopy(const std::optional<QString> &location, bool wasRunning)
{
    const QString name = displayName(location);
    AlertSpec alert;
    alert.message = wasRunning ? QStringLiteral("The other copy of TamoCove was closed")
                               : QStringLiteral("Another copy of TamoCove is installed");
    // Both copies are usually named alike here, so their places tell them apart.
    alert.informativeText = QStringLiteral("This copy: %1\n").arg(m_services.copies.ownLocation());
    if (location)
        alert.informativeText += QStringLiteral("The other copy: %1\n").arg(*location);
    alert.informativeText += QStringLiteral(
        "\nBoth copies share your history, so only one can run. Your clips, pinboards and settings are all here.");
    if (location) {
        alert.informativeText += QStringLiteral("\n\nThey're saved on this computer, not inside the app, so the other "
                                                "copy is safe to delete. Move it to the Trash?");
        alert.buttons = {QStringLiteral("Move to Trash"), QStringLiteral("Keep It")};
    }
    if (m_services.alerts.runModal(alert) != 0 || !location)
        return;

    for (const RunningCopy &copy : runningCopies()) {
        if (copy.location == *location)
            m_services.copies.terminate(copy.pid);
    }
    if (const auto error = m_services.copies.moveToTrash(*location)) {
        std::printf("TamoCove: couldn't move %s to the Trash: %s\n", qPrintable(name), qPrintable(*error));
        std::fflush(stdout);
    }
}

} // namespace tamo
