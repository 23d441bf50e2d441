#include "updaterequest.h"

#include "core/logger.h"
#include "proxychallenge.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>

// The proxy side of a request: the user's proxy or the system's, and the
// credentials it asks for.

namespace {
// Long enough for a proxy across a WAN, short beside a person's typing.
constexpr int schemeProbeMs = 3000;

// The proxy the system names for each request's address, with the user's
// credentials for it.
class SystemProxies : public QNetworkProxyFactory
{
public:
    explicit SystemProxies(const std::optional<QNetworkProxy>& credentials)
        : user(credentials ? credentials->user() : QString()),
          password(credentials ? credentials->password() : QString())
    {
    }
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        QList<QNetworkProxy> proxies = systemProxyForQuery(query);
        for (QNetworkProxy& proxy : proxies) {
            if (proxy.type() != QNetworkProxy::NoProxy && proxy.user().isEmpty() &&
                !user.isEmpty()) {
                proxy.setUser(user);
                proxy.setPassword(password);
            }
            qCDebug(lcUpdate).noquote() << QStringLiteral("The system's proxy for %1: %2")
                                               .arg(query.url().toString(), systemProxyText(proxy));
        }
        return proxies;
    }

private:
    QString user;
    QString password;
};
} // namespace

QString systemProxyText(const QNetworkProxy& proxy)
{
    if (proxy.type() == QNetworkProxy::NoProxy || proxy.hostName().isEmpty())
        return UpdateRequest::tr("none (a direct connection)");
    return QStringLiteral("%1:%2").arg(proxy.hostName()).arg(proxy.port());
}

QString systemProxyFor(const QString& url)
{
    const QList<QNetworkProxy> proxies =
        QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(QUrl(url)));
    return systemProxyText(proxies.value(0, QNetworkProxy(QNetworkProxy::NoProxy)));
}

void UpdateRequest::applyProxySettings()
{
    std::optional<QNetworkProxy> proxy = host.proxy();
    if (host.usesSystemProxy()) {
        qCDebug(lcUpdate).noquote() << QStringLiteral("Using the system's proxy.");
        manager->setProxyFactory(new SystemProxies(proxy));
        return;
    }
    if (!proxy)
        return;
    if (proxy->hostName().isEmpty() && host.asksUser()) {
        host.editProxySettings();
        proxy = host.proxy().value_or(*proxy);
    }
    qCDebug(lcUpdate).noquote() << QStringLiteral("Using User-defined Proxy.");
    manager->setProxy(*proxy);
}

void UpdateRequest::onProxyAuthenticate(const QNetworkProxy& proxy, QAuthenticator* authenticator)
{
    qCDebug(lcUpdate).noquote() << QStringLiteral("UpdateRequest::proxyAuthenticate()");
    // NTLM and Negotiate (the schemes without a realm) challenge the first
    // request, which Basic's saved credentials answer unasked (a challenge
    // after them is their refusal): the saved ones answer that first
    // challenge too, and nobody is told. Without a saved user, Windows
    // answers with the logged-on account.
    const bool realmless = authenticator->option(QStringLiteral("realm")).toString().isEmpty();
    if (!savedCredentialsGiven && realmless) {
        savedCredentialsGiven = true;
        const std::optional<QNetworkProxy> saved = host.proxy();
        if (saved && !saved->user().isEmpty()) {
            authenticator->setUser(saved->user());
            authenticator->setPassword(saved->password());
            return;
        }
#ifdef Q_OS_WIN
        return;
#endif
    }
    timer.stop();
    host.inform(tr("Proxy Authentication Required"),
                tr("The proxy server (%1) requires authentication or the proxy "
                   "username/password is incorrect.")
                    .arg(proxy.hostName()));
    if (!host.asksUser())
        return;

    // Qt may end the reply with the proxy's refusal while the dialog is open;
    // its end is held back until the user has answered.
    askingForCredentials = true;
    replyEndedWhileAsking = false;
    // Qt does not tell which scheme it answers: the proxy is asked once more.
    const QString scheme = proxyChallengeScheme(proxy, QUrl(url), schemeProbeMs);
    // Qt may name the proxy without the user whose credentials were refused;
    // the dialog offers the name last tried, or the stored one.
    QNetworkProxy asked = proxy;
    for (const QString& known : {authenticator->user(), manager->proxy().user()}) {
        if (asked.user().isEmpty())
            asked.setUser(known);
    }
    const std::optional<QNetworkProxy> entered = host.askProxyCredentials(asked, scheme);
    askingForCredentials = false;

    if (entered) {
        authenticator->setUser(entered->user());
        authenticator->setPassword(entered->password());
        host.keepProxyCredentials(*entered);
        QNetworkProxy withCredentials = manager->proxy();
        withCredentials.setUser(entered->user());
        withCredentials.setPassword(entered->password());
        manager->setProxy(withCredentials);
    }
    startTimer();

    if (replyEndedWhileAsking && reply) {
        if (entered) {
            // The pending request is sent again, now with the credentials.
            received.clear();
            discardReply();
            startReply(QUrl(url));
        } else {
            // The error and the end of the reply that were held back.
            reportNetworkError(errorMessage(reply));
            succeeded = false;
            endAttempt();
        }
    }
}
