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

} // namespace

CappedDownload::CappedDownload(QNetworkAccessManager &network, const QUrl &url, const Options &options,
                               QObject *parent)
    : QObject(parent), m_options(options)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         options.redirects ? QNetworkRequest::UserVerifiedRedirectPolicy
                                           : QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(options.maxRedirects);
    request.setTransferTimeout(int(options.timeout.count()));
    m_reply = network.get(request);
    m_reply->setParent(this);
    connect(m_reply, &QNetworkReply::redirected, this, &CappedDownload::redirected);
    connect(m_reply, &QNetworkReply::readyRead, this, &CappedDownload::read);
    connect(m_reply, &QNetworkReply::finished, this, &CappedDownload::finish);
}

QUrl CappedDownload::finalURL() const
{
    return m_reply->url();
}

QByteArray CappedDownload::contentType() const
{
    return m_reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
}

void CappedDownload::redirected(const QUrl &target)
{
    if (!m_options.redirects)
        return; // followed by the policy alone
    m_options.redirects->check(target, this, [this](AddressCheck::Verdict verdict) {
        if (m_stoppedWith)
            return;
        switch (verdict) {
        case AddressCheck::Verdict::allowed: m_reply->redirectAllowed(); return;
        case AddressCheck::Verdict::refused: stop(Outcome::unusable); return;
        case AddressCheck::Verdict::unresolved: stop(Outcome::failed); return;
        }
    });
}

void CappedDownload::read()
{
    if (m_stoppedWith)
        return;
    if (!isSuccess(m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt())) {
        m_reply->readAll(); // an error page; the status decides
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

void CappedDownload::finish()
{
    if (!m_stoppedWith && m_reply->error() == QNetworkReply::NoError)
        read(); // data that came with the end
    m_outcome = m_stoppedWith.value_or(outcomeOfReply());
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
