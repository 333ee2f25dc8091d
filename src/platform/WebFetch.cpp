#include "platform/WebFetch.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslSocket>
#include <QTimer>

namespace b2d {

namespace {

const QString kAgent = QStringLiteral("VelmoraB2D");

bool isLoopback(const QString &host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

// The system's proxies, but never for this machine itself.
class DirectForLoopback final : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        if (isLoopback(query.peerHostName()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

bool isProxyError(QNetworkReply::NetworkError e)
{
    return e >= QNetworkReply::ProxyConnectionRefusedError
        && e <= QNetworkReply::UnknownProxyError;
}

WebPage failed(WebPage::Outcome outcome, QString detail)
{
    WebPage page;
    page.outcome = outcome;
    page.detail = std::move(detail);
    return page;
}

}  // namespace

WebPage QtWebFetcher::fetch(const QUrl &address)
{
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return failed(WebPage::Outcome::PageFailed,
                      QStringLiteral("not an http or https address: %1").arg(address.toString()));
    if (scheme == QLatin1String("https") && !QSslSocket::supportsSsl())
        return failed(WebPage::Outcome::ConnectionFailed,
                      QStringLiteral("no TLS support on this machine for %1").arg(address.toString()));

    QNetworkAccessManager manager;
    manager.setProxyFactory(new DirectForLoopback);  // the manager owns it
    QNetworkRequest request(address);
    request.setHeader(QNetworkRequest::UserAgentHeader, kAgent);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(m_timeoutMs);

    QNetworkReply *reply = manager.get(request);
    QByteArray body;
    bool tooLarge = false;
    bool timedOut = false;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        body += reply->readAll();
        if (body.size() > m_maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    deadline.start(m_timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();

    const auto error = reply->error();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!tooLarge && !timedOut && error == QNetworkReply::NoError && reply->isOpen())
        body += reply->readAll();
    const QString errorText = reply->errorString();
    delete reply;

    if (tooLarge)
        return failed(WebPage::Outcome::PageFailed,
                      QStringLiteral("the page is larger than %1 bytes").arg(m_maxBytes));
    if (timedOut || error == QNetworkReply::TimeoutError
        || error == QNetworkReply::OperationCanceledError)
        return failed(WebPage::Outcome::PageFailed,
                      QStringLiteral("no answer within %1 ms").arg(m_timeoutMs));
    if (isProxyError(error))
        return failed(WebPage::Outcome::ConnectionFailed, errorText);
    if (error != QNetworkReply::NoError || status < 200 || status > 299)
        return failed(WebPage::Outcome::PageFailed,
                      status > 0 ? QStringLiteral("HTTP status %1: %2").arg(status).arg(errorText)
                                 : errorText);
    WebPage page;
    page.outcome = WebPage::Outcome::Ok;
    page.body = body;
    return page;
}

}  // namespace b2d
