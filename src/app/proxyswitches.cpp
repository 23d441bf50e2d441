#include "proxyswitches.h"

#include "core/common.h"
#include "core/console.h"
#include "core/logger.h"
#include "core/proxyaddress.h"
#include "messages.h"
#include "runstatus.h"

#include <QCoreApplication>

#include <optional>

namespace {
// The translation context of this file's texts.
struct ProxySwitches
{
    Q_DECLARE_TR_FUNCTIONS(ProxySwitches)
};

constexpr int usageErrorExitCode = 1;

// Whether Group Policy fixes the proxy, told when it does: the switch changes nothing.
bool fixedByPolicy(const Common& settings, const char* proxySwitch)
{
    if (!settings.policy.fixesProxy())
        return false;
    reportError(ProxySwitches::tr("Proxy Error"),
                ProxySwitches::tr("The proxy is set by your administrator (Group Policy); %1 "
                                  "does not change it.")
                    .arg(QLatin1String(proxySwitch)));
    return true;
}
} // namespace

bool applyProxyFromCommandLine(const QString& text, Common& settings)
{
    if (fixedByPolicy(settings, "/p"))
        return false;
    const Result<QNetworkProxy> parsed = parseGivenProxyUrl(text);
    if (!parsed.ok()) {
        reportError(ProxySwitches::tr("Proxy Error"), parsed.errorString());
        return false;
    }
    const QNetworkProxy& proxy = parsed.value();
    qCInfo(lcApp).noquote() << QStringLiteral(
                                   "Using proxy from the command line: host=%1, user=%2, "
                                   "port=%3")
                                   .arg(proxy.hostName(), proxy.user(),
                                        QString::number(proxy.port()));
    Common* common = &settings;
    common->useProxyServer = true;
    common->proxy = proxy;
    if (!proxy.user().isEmpty())
        common->useProxyAuthentication = true;
    writeConsoleLine(saveRunSettings(settings)
                         ? ProxySwitches::tr("The proxy setting is enabled and saved.")
                         : statusMessageFor(common->status));
    return true;
}

int storeMachineWideProxy(const QString& text, Common& settings)
{
    std::optional<QNetworkProxy> proxy;
    if (!text.trimmed().isEmpty()) {
        const Result<QNetworkProxy> parsed = parseProxyUrl(text.trimmed());
        if (!parsed.ok()) {
            reportError(ProxySwitches::tr("Proxy Error"), parsed.errorString());
            return usageErrorExitCode;
        }
        proxy = parsed.value();
    }
    const Result<void> stored = settings.saveMachineWideProxy(proxy ? &*proxy : nullptr);
    if (!stored.ok()) {
        reportError(ProxySwitches::tr("Proxy Error"), stored.errorString());
        return exitCodeOf(StatusCode::SettingsWriteError);
    }
    qCInfo(lcApp).noquote() << (proxy ? QStringLiteral("Machine-wide proxy stored: host=%1, "
                                                       "user=%2, port=%3")
                                            .arg(proxy->hostName(), proxy->user(),
                                                 QString::number(proxy->port()))
                                      : QStringLiteral("Machine-wide proxy removed"));
    return 0;
}

bool removeProxySetting(Common& settings)
{
    if (fixedByPolicy(settings, "/k"))
        return false;
    Common* common = &settings;
    common->proxy = QNetworkProxy(QNetworkProxy::HttpProxy);
    common->useProxyServer = false;
    writeConsoleLine(saveRunSettings(settings) ? ProxySwitches::tr("The proxy setting is disabled.")
                                               : statusMessageFor(common->status));
    return true;
}
