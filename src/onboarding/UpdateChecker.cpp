#include "onboarding/UpdateChecker.h"

#include "model/SettingsKeys.h"
#include "model/WebAddress.h"
#include "onboarding/UpdateFeed.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/Workspace.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace tamo {

namespace {

constexpr qint64 secondsPerDay = 86400;

} // namespace

UpdateChecker::UpdateChecker(const Services &services, QString version, int build, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_version(std::move(version))
    , m_build(build)
{
}

void UpdateChecker::start()
{
    if (m_timer)
        return;
    m_timer = new QTimer(this);
    m_timer->setInterval(checkIntervalMs);
    // Minutes late is fine for a daily check, and lets the system batch wake-ups.
    m_timer->setTimerType(Qt::VeryCoarseTimer);
    connect(m_timer, &QTimer::timeout, this, &UpdateChecker::checkIfDue);
    m_timer->start();
    QTimer::singleShot(firstCheckDelayMs, this, &UpdateChecker::checkIfDue);
}

void UpdateChecker::checkIfDue()
{
    if (!m_services.defaults.boolValue(keys::checkForUpdates))
        return;
    // A check date in the future (a clock set back) waits until it is a day past.
    const QDateTime last = m_services.defaults.date(keys::lastUpdateCheck).value_or(QDateTime());
    if (!last.isValid() || last.secsTo(m_services.clock.now()) >= secondsPerDay)
        check(false);
}

void UpdateChecker::fetchLatest(QObject *receiver, std::function<void(std::optional<UpdateRelease>)> done)
{
    fetchFeed(receiver, [done = std::move(done)](const std::optional<FeedRelease> &feed) {
        done(feed ? std::optional(feed->release) : std::nullopt);
    });
}

void UpdateChecker::fetchFeed(QObject *receiver, std::function<void(std::optional<FeedRelease>)> done)
{
    const QUrl feed(m_services.defaults.string(keys::updateFeedURL).value_or(QString()), QUrl::StrictMode);
    // A feed anyone on the way could rewrite could offer any download.
    if (!isSecureWebAddress(feed)) {
        QTimer::singleShot(0, receiver, [done = std::move(done)] { done(std::nullopt); });
        return;
    }
    QNetworkRequest request(feed);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(timeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, QString(QStringLiteral("TamoCove/") + m_version));
    QNetworkReply *reply = m_services.network.get(request);
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    connect(reply, &QNetworkReply::readyRead, reply, [reply] {
        if (reply->bytesAvailable() > maxFeedBytes)
            reply->abort();
    });
    QPointer<UpdateChecker> self(this);
    connect(reply, &QNetworkReply::finished, receiver, [self, reply, done = std::move(done)] {
        // Only a successful answer is the feed: an error page may hold JSON too.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool answered = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
        const auto release = answered ? decodeUpdateFeed(reply->readAll()) : std::nullopt;
        if (release && self)
            self->m_services.defaults.setValue(keys::lastUpdateCheck, self->m_services.clock.now());
        done(release);
    });
}

void UpdateChecker::check(bool userInitiated)
{
    fetchFeed(this, [this, userInitiated](const std::optional<FeedRelease> &feed) { tellUser(feed, userInitiated); });
}

void UpdateChecker::tellUser(const std::optional<FeedRelease> &feed, bool userInitiated)
{
    const QString ok = QStringLiteral("OK");
    if (!feed) {
        if (userInitiated)
            showAlert(QStringLiteral("Couldn't check for updates"),
                      QStringLiteral("TamoCove couldn't reach its website. Check your internet connection and try again."),
                      {ok});
        return;
    }
    const UpdateRelease &release = feed->release;
    if (m_build >= release.build) {
        if (userInitiated)
            showAlert(QStringLiteral("You're up to date"),
                      QStringLiteral("TamoCove %1 is the newest version.").arg(m_version), {ok});
        return;
    }
    // Automatic checks announce each build once; asking always answers.
    if (!userInitiated && m_services.defaults.integer(keys::announcedUpdateBuild) == release.build)
        return;
    m_services.defaults.setValue(keys::announcedUpdateBuild, release.build);

    QString details = QStringLiteral("You have TamoCove %1.").arg(m_version);
    if (!feed->notes.value_or(QString()).isEmpty())
        details += QStringLiteral("\n\n") + *feed->notes;
    details += QStringLiteral("\n\nDownload it, then install it to replace this version.");
    if (showAlert(QStringLiteral("TamoCove %1 is available").arg(release.version), details,
                  {QStringLiteral("Download"), QStringLiteral("Later")}))
        m_services.workspace.openURL(release.url);
}

bool UpdateChecker::showAlert(const QString &message, const QString &informativeText, const QStringList &buttons)
{
    m_services.drawer.hide(false);
    return m_services.alerts.runModal({message, informativeText, buttons, -1}) == 0;
}

} // namespace tamo
