#include "updaterequest.h"

#include "core/console.h"
#include "core/logger.h"
#include "core/statuscode.h"

#include <QNetworkAccessManager>
#include <QSslError>

// How an attempt's failures are told: what went wrong and where.

void UpdateRequest::onError(QNetworkReply::NetworkError code)
{
    QNetworkReply* source = replyToHandle();
    if (!source)
        return;
    timer.stop();
    qCDebug(lcUpdate).noquote() << QStringLiteral("UpdateRequest::onError() ") +
                                       source->errorString();
    if (code != QNetworkReply::NoError) {
        whatFailed = headingFor(source);
        reportNetworkError(errorMessage(source));
    }
    // Qt follows the error with finished(), which ends the attempt; the timer
    // stays as a guard while the message is shown.
    if (reply)
        startTimer();
}

// What went wrong and where: the HTTP status and reason the server gave, the
// certificate that was refused, or the network's own error text.
QString UpdateRequest::errorMessage(QNetworkReply* source) const
{
    const QString address = printable(source->url().toString());
    const int status = source->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        const QString reason =
            source->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return tr("An error occurred: HTTP %1 %2 (%3)")
            .arg(QString::number(status), printable(reason), address);
    }
    if (!certificateProblem.isEmpty())
        return tr("An error occurred: %1 (%2)").arg(certificateProblem, address);
    // A list the server compressed that does not inflate (Qt's content error):
    // Qt's own text names no encoding, this one does. Other failures of such a
    // list, a connection cut off among them, keep their own text.
    const QByteArray encoding = source->rawHeader("Content-Encoding");
    if (status == 200 && !encoding.isEmpty() &&
        source->error() == QNetworkReply::UnknownContentError)
        return tr("An error occurred: the list, sent as %1, cannot be decoded (%2)")
            .arg(printable(QString::fromLatin1(encoding)), address);
    // Qt reaches an http list through the proxy with its own connection, so a
    // dead proxy reads like a dead server: the proxy is named. Its refusal of
    // credentials was named already.
    const QNetworkProxy proxy = manager->proxy();
    if (proxy.type() == QNetworkProxy::HttpProxy && !proxy.hostName().isEmpty() &&
        source->error() != QNetworkReply::ProxyAuthenticationRequiredError)
        return tr("An error occurred: %1 (%2, through the proxy %3)")
            .arg(printable(source->errorString()), address,
                 printable(proxy.hostName()) + QLatin1Char(':') + QString::number(proxy.port()));
    return tr("An error occurred: %1 (%2)").arg(printable(source->errorString()), address);
}

QString UpdateRequest::headingFor(QNetworkReply* source) const
{
    const int status = source->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = source->error();
    if (status == 407 || error == QNetworkReply::ProxyAuthenticationRequiredError)
        return tr("The proxy refused the request without valid credentials.");
    if (status >= 400)
        return tr("The server answered HTTP %1 %2")
            .arg(QString::number(status),
                 printable(
                     source->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
    if (!certificateProblem.isEmpty())
        return tr("The server's certificate is not trusted.");
    // Through an http proxy, a connection that fails is the proxy's.
    const QNetworkProxy proxy = manager->proxy();
    const bool proxyInUse = proxy.type() == QNetworkProxy::HttpProxy && !proxy.hostName().isEmpty();
    const bool proxyError = error >= QNetworkReply::ProxyConnectionRefusedError &&
                            error <= QNetworkReply::UnknownProxyError;
    if (proxyError || (proxyInUse && error < QNetworkReply::ProxyConnectionRefusedError))
        return tr("The proxy cannot be reached.");
    return statusMessageFor(StatusCode::NetworkError);
}

// Every failure of a retrieval reaches the log, the user and the status code
// the same way.
void UpdateRequest::reportNetworkError(const QString& message)
{
    failed = true;
    problem = message;
    host.failed(tr("Network Error"), message);
}

// A certificate that cannot be verified refuses the list: whoever is in the
// path could otherwise hide patches or plant links. Qt then ends the reply
// with an error, reported with what was wrong.
void UpdateRequest::onSslErrors(QNetworkReply* source, const QList<QSslError>& errors)
{
    QStringList texts;
    for (const QSslError& sslError : errors) {
        qCWarning(lcUpdate).noquote()
            << QStringLiteral("SSL Error: %1").arg(sslError.errorString());
        texts.append(sslError.errorString());
    }
    if (isCurrent(source))
        certificateProblem =
            tr("the certificate of %1 is not trusted: %2")
                .arg(printable(source->url().host()), printable(texts.join(QStringLiteral("; "))));
}

QString UpdateRequest::attemptProblem() const
{
    if (!problem.isEmpty())
        return problem;
    if (timedOut)
        return tr("no answer within %1 s").arg(QString::number(host.timeoutMs() / 1000.0));
    return succeeded ? QString() : tr("the server sent no list");
}
