#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace tamo {

struct AddressCheck;

// One GET that follows a few redirects (never to a less safe scheme, and
// with an address check only where it allows), gives up when the server
// stays silent too long, and stops reading at a size cap.
class CappedDownload : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        complete,  // the whole body
        truncated, // the first maxBytes of a longer body
        unusable,  // a lasting answer without a body to use: a client error or an unwanted content type
        failed,    // no answer, or a server trouble: worth trying again later
    };

    struct Options
    {
        qint64 maxBytes = 0;
        std::chrono::milliseconds timeout{0}; // without any data
        int maxRedirects = 0;
        QByteArrayList acceptedTypes; // MIME types; empty accepts any
        const AddressCheck *redirects = nullptr; // when set, outlives the download
    };

    CappedDownload(QNetworkAccessManager &network, const QUrl &url, const Options &options, QObject *parent = nullptr);

    // Valid once finished() was emitted.
    Outcome outcome() const { return m_outcome; }
    const QByteArray &body() const { return m_body; }
    QUrl finalURL() const;
    QByteArray contentType() const;

signals:
    // Emitted from the reply's own signals: delete the download with deleteLater().
    void finished();

private:
    void redirected(const QUrl &target);
    void read();
    void stop(Outcome outcome);
    void finish();
    bool acceptsContentType() const;
    Outcome outcomeOfReply() const;

    QNetworkReply *m_reply = nullptr;
    Options m_options;
    QByteArray m_body;
    std::optional<Outcome> m_stoppedWith;
    Outcome m_outcome = Outcome::failed;
};

} // namespace tamo
