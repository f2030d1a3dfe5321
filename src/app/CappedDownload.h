#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

namespace tamo {

struct AddressCheck;

// One GET that follows a few redirects (never to a less safe scheme), gives
// up when the server stays silent too long, and stops reading at a size cap.
// With an address check, the first address and every redirect's must pass it,
// and each is asked at the very network address that passed.
class CappedDownload : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        complete,  // the whole body
        truncated, // the first maxBytes of a longer body
        unusable,  // a lasting answer without a body to use: a client error, an unwanted content
                   // type or an address the check refused
        failed,    // no answer, or a server trouble: worth trying again later
    };

    struct Options
    {
        qint64 maxBytes = 0;
        std::chrono::milliseconds timeout{0}; // without any data
        int maxRedirects = 0;
        QByteArrayList acceptedTypes; // MIME types; empty accepts any
        const AddressCheck *addresses = nullptr; // when set, outlives the download
    };

    CappedDownload(QNetworkAccessManager &network, const QUrl &url, const Options &options, QObject *parent = nullptr);

    // Valid once finished() was emitted.
    Outcome outcome() const { return m_outcome; }
    const QByteArray &body() const { return m_body; }
    QUrl finalURL() const { return m_url; }
    QByteArray contentType() const;

signals:
    // Emitted once, never from the constructor: delete the download with deleteLater().
    void finished();

private:
    void ask(const QUrl &url);
    void askNextCheckedAddress();
    void send(QNetworkRequest request);
    void read();
    void stop(Outcome outcome);
    void replyFinished();
    void follow(const QUrl &target);
    void end(Outcome outcome);
    bool acceptsContentType() const;
    Outcome outcomeOfReply() const;

    QNetworkAccessManager &m_network;
    Options m_options;
    QUrl m_url;
    QList<QHostAddress> m_untriedAddresses;
    int m_redirectsLeft = 0;
    QNetworkReply *m_reply = nullptr;
    QByteArray m_body;
    std::optional<Outcome> m_stoppedWith;
    Outcome m_outcome = Outcome::failed;
};

} // namespace tamo
