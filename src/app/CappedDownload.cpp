#include "app/CappedDownload.h"

#include "app/AddressCheck.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tamo {

namespace {

bool isSuccess(int httpStatus)
{
    return httpStatus >= 200 && httpStatus < 300;
}

// Client errors other than "too slow" and "too many requests" will not change on a retry.
bool isLastingRefusal(int httpStatus)
{
    return httpStatus >= 400 && httpStatus < 500 && httpStatus != 408 && httpStatus != 429;
}

// https leads only to https, http to either.
bool isNoLessSafe(const QUrl &from, const QUrl &to)
{
    const QString scheme = to.scheme().toLower();
    return scheme == u"https" || (scheme == u"http" && from.scheme().compare(u"http", Qt::CaseInsensitive) == 0);
}

// The address never took the connection; another of the host's may.
bool isUnreachable(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::ConnectionRefusedError || error == QNetworkReply::TimeoutError
           || error == QNetworkReply::UnknownNetworkError;
}

} // namespace

CappedDownload::CappedDownload(QNetworkAccessManager &network, const QUrl &url, const Options &options,
                               QObject *parent)
    : QObject(parent), m_network(network), m_options(options), m_redirectsLeft(options.maxRedirects)
{
    ask(url);
}

QByteArray CappedDownload::contentType() const
{
    return m_reply ? m_reply->header(QNetworkRequest::ContentTypeHeader).toByteArray() : QByteArray();
}

void CappedDownload::ask(const QUrl &url)
{
    m_url = url;
    if (!m_options.addresses) {
        send(QNetworkRequest(url));
        return;
    }
    m_options.addresses->check(url, this, [this](AddressCheck::Verdict verdict, const QList<QHostAddress> &addresses) {
        switch (verdict) {
        case AddressCheck::Verdict::allowed:
            m_untriedAddresses = addresses;
            askNextCheckedAddress();
            return;
        case AddressCheck::Verdict::refused: end(Outcome::unusable); return;
        case AddressCheck::Verdict::unresolved: end(Outcome::failed); return;
        }
    });
}

// Connects to the address itself, so no second lookup can lead elsewhere; the
// server still hears the name, and its certificate is checked against it.
void CappedDownload::askNextCheckedAddress()
{
    QUrl connected = m_url;
    connected.setHost(m_untriedAddresses.takeFirst().toString());
    QNetworkRequest request(connected);
    request.setRawHeader("Host", m_url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1());
    request.setPeerVerifyName(m_url.host());
    // HTTP/2 would name the host from the address connected to, not the Host header.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    send(std::move(request));
}

void CappedDownload::send(QNetworkRequest request)
{
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(int(m_options.timeout.count()));
    if (m_reply)
        m_reply->deleteLater();
    m_reply = m_network.get(request);
    m_reply->setParent(this);
    connect(m_reply, &QNetworkReply::readyRead, this, &CappedDownload::read);
    connect(m_reply, &QNetworkReply::finished, this, &CappedDownload::replyFinished);
}

void CappedDownload::read()
{
    if (m_stoppedWith)
        return;
    if (!isSuccess(m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt())) {
        m_reply->readAll(); // an error page or a redirect; the status decides
        return;
    }
    if (!acceptsContentType()) {
        stop(Outcome::unusable);
        return;
    }
    // One byte more than the cap tells a body of exactly maxBytes from a longer one.
    m_body.append(m_reply->read(m_options.maxBytes - m_body.size() + 1));
    if (m_body.size() > m_options.maxBytes) {
        m_body.truncate(m_options.maxBytes);
        stop(Outcome::truncated);
    }
}

void CappedDownload::stop(Outcome outcome)
{
    m_stoppedWith = outcome;
    m_reply->abort(); // emits finished()
}

void CappedDownload::replyFinished()
{
    if (m_stoppedWith) {
        end(*m_stoppedWith);
        return;
    }
    const QNetworkReply::NetworkError error = m_reply->error();
    if (error == QNetworkReply::NoError) {
        const QUrl target = m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        if (target.isValid()) {
            follow(target);
            return;
        }
        read(); // data that came with the end
    } else if (isUnreachable(error) && !m_untriedAddresses.isEmpty()) {
        askNextCheckedAddress();
        return;
    }
    end(m_stoppedWith.value_or(outcomeOfReply()));
}

void CappedDownload::follow(const QUrl &target)
{
    const QUrl next = m_url.resolved(target);
    if (m_redirectsLeft-- == 0 || !isNoLessSafe(m_url, next)) {
        end(Outcome::failed);
        return;
    }
    ask(next);
}

void CappedDownload::end(Outcome outcome)
{
    m_outcome = outcome;
    emit finished();
}

bool CappedDownload::acceptsContentType() const
{
    if (m_options.acceptedTypes.isEmpty())
        return true;
    const QByteArray type = contentType();
    if (type.isEmpty())
        return true; // servers that don't say are given the benefit of the doubt
    const qsizetype parameters = type.indexOf(';');
    const QByteArray mimeType = (parameters < 0 ? type : type.first(parameters)).trimmed().toLower();
    return m_options.acceptedTypes.contains(mimeType);
}

CappedDownload::Outcome CappedDownload::outcomeOfReply() const
{
    if (m_reply->error() == QNetworkReply::NoError)
        return Outcome::complete;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && isLastingRefusal(status.toInt()) ? Outcome::unusable : Outcome::failed;
}

} // namespace tamo
