#include "desktopretrieval.h"

#include "proxydialog.h"
#include "settingsdialog.h"

void DesktopRetrievalHost::editProxySettings()
{
    SettingsDialog dialog;
    dialog.exec();
}

std::optional<QNetworkProxy> DesktopRetrievalHost::askProxyCredentials(const QNetworkProxy& proxy)
{
    ProxyDialog dialog(proxy);
    dialog.disableHostFields(true);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.proxy();
}
