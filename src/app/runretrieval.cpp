#include "runretrieval.h"

#include "core/common.h"
#include "messages.h"
#include "runstatus.h"

bool RunRetrievalHost::retrievalAllowed() const
{
    return settings.status != StatusCode::NetworkError;
}

std::optional<QNetworkProxy> RunRetrievalHost::proxy() const
{
    // A stored proxy with an impossible port is no proxy for this run; with
    // the system's, only its credentials count.
    if (!(settings.useProxyServer || settings.usesSystemProxy()) || settings.savedProxyRefused)
        return std::nullopt;
    return settings.proxy;
}

bool RunRetrievalHost::usesSystemProxy() const
{
    return settings.usesSystemProxy();
}

void RunRetrievalHost::keepProxyCredentials(const QNetworkProxy& proxy)
{
    settings.proxy = proxy;
    settings.useProxyAuthentication = true;
    (void)saveRunSettingsOrReport(settings);
}

void RunRetrievalHost::inform(const QString& title, const QString& text)
{
    showInformationMessage(title, text, nullptr);
}

void RunRetrievalHost::failed(const QString& title, const QString& message)
{
    reportError(title, message);
    settings.status = StatusCode::NetworkError;
}

// Kept, not deleted: the run ends its process without waiting for it.
void RunRetrievalHost::abandon(QNetworkAccessManager* network)
{
    (void)network;
    settings.networkWorkAbandoned = true;
}

void RunRetrievalHost::gaveUp()
{
    settings.status = StatusCode::NetworkError;
}
