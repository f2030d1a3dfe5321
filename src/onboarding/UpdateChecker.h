#pragma once

#include "app/AppHooks.h"
#include "app/Product.h"
#include "onboarding/UpdateFeed.h"

#include <QObject>

class QNetworkAccessManager;
class QTimer;

namespace tamo {

class Alerts;
class Clock;
class Defaults;
class Workspace;

// Looks once a day for a newer build in the version feed (its address is the
// setting "updateFeedURL") and tells the user with an alert that leads to
// the download page. It downloads and installs nothing.
class UpdateChecker final : public QObject, public UpdateService
{
    Q_OBJECT

public:
    struct Services
    {
        Defaults &defaults;
        const Clock &clock;
        QNetworkAccessManager &network;
        Alerts &alerts;
        Workspace &workspace;
        DrawerPanel &drawer; // hidden before an alert, so it never covers one
    };

    static constexpr int checkIntervalMs = 3600 * 1000;
    static constexpr int firstCheckDelayMs = 30 * 1000;
    static constexpr int timeoutMs = 20 * 1000;
    static constexpr qint64 maxFeedBytes = 256 * 1024;

    // The running version and build are this program's; tests give others.
    explicit UpdateChecker(const Services &services, QString version = product::version(), int build = product::build(),
                           QObject *parent = nullptr);

    // An hourly look, and a first one 30 s from now; each checks only when
    // a day has passed since the last successful read.
    void start() override;
    void checkIfDue();
    void check(bool userInitiated) override;
    void fetchLatest(QObject *receiver, std::function<void(std::optional<UpdateRelease>)> done) override;
    QString currentVersion() const override { return m_version; }
    int currentBuild() const override { return m_build; }

private:
    void fetchFeed(QObject *receiver, std::function<void(std::optional<FeedRelease>)> done);
    void tellUser(const std::optional<FeedRelease> &feed, bool userInitiated);
    bool showAlert(const QString &message, const QString &informativeText, const QStringList &buttons);

    Services m_services;
    QString m_version;
    int m_build;
    QTimer *m_timer = nullptr;
};

} // namespace tamo
