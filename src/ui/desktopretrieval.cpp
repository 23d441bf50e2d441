#include "desktopretrieval.h"

#include "core/console.h"
#include "core/logger.h"
#include "proxydialog.h"
#include "settingsdialog.h"

void DesktopRetrievalHost::editProxySettings()
{
    SettingsDialog dialog(settings);
    dialog.exec();
}

std::optional<QNetworkProxy> DesktopRetrievalHost::askProxyCredentials(const QNetworkProxy& proxy,
                                                                       const QString& scheme)
{
    ProxyDialog dialog(proxy);
    dialog.disableHostFields(true);
    dialog.showScheme(scheme);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.proxy();
}

void DesktopRetrievalHost::attemptStarted(int attempt, int attempts, const QString& url)
{
    current = tr("Attempt %1 of %2: %3")
                  .arg(QString::number(attempt), QString::number(attempts), printable(url));
    show();
}

void DesktopRetrievalHost::attemptFailed(int, int, const QString& reason)
{
    lastReason = printable(reason);
    show();
}

// The report says why, headed by what failed: no box before it, and none at
// all in a tray run at log-on.
void DesktopRetrievalHost::failed(const QString&, const QString& message)
{
    qCCritical(lcApp).noquote() << message;
    settings.status = StatusCode::NetworkError;
}

void DesktopRetrievalHost::show()
{
    if (!showProgress)
        return;
    showProgress(lastReason.isEmpty()
                     ? current
                     : current + QLatin1Char('\n') + tr("Last attempt: %1").arg(lastReason));
}
