#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>

#include <chrono>
#include <optional>

class QNetworkAccessManager;

namespace tamo {

class Clock;

// What a favicon fetch may cost.
struct FaviconLimits
{
    QString addressTemplate = QStringLiteral("https://%1/"); // %1: the host
    std::chrono::milliseconds timeout{8000};
    qint64 maxPageBytes = 512 * 1024;
    qint64 maxIconBytes = 1024 * 1024;
    int maxRedirects = 3;
    int maxDecodedSide = 1024; // an icon claiming more pixels is not decoded
};

// Site icons for the switcher's web tabs: found once per host and run,
// kept in memory and as small PNG files for 30 days. Fetches go over https
// only, with caps on time, size and redirects; every failure is silent.
class BrowserFavicons : public QObject
{
    Q_OBJECT
public:
    static constexpr int iconSide = 64;
    static constexpr qint64 freshDays = 30;
    static constexpr int memoryCount = 200;

    BrowserFavicons(QNetworkAccessManager &network, const Clock &clock, QString folder, FaviconLimits limits = {});

    // Makes sure the host's icon is in memory or on its way.
    void request(const QString &host);
    // From memory only; null when not there (yet).
    QImage icon(const QString &host) const;
    int revision() const { return m_revision; }

    // Only hosts made of lower-case letters, digits, dots and hyphens, not
    // starting with a dot, 253 characters at most, have a file.
    std::optional<QString> filePath(const QString &host) const;

signals:
    void iconArrived(const QString &host);

private:
    void fetch(const QString &host, const QUrl &address, const QString &file);
    void fetchIcon(const QString &host, const QUrl &iconURL, const QString &file);
    void store(const QImage &image, const QString &host);

    QNetworkAccessManager &m_network;
    const Clock &m_clock;
    QString m_folder;
    FaviconLimits m_limits;
    QCache<QString, QImage> m_icons;
    QSet<QString> m_requested;
    int m_revision = 0;
};

} // namespace tamo
