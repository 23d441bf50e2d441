#include "proxyaddressfield.h"

#include "core/proxyaddress.h"

#include <QLineEdit>
#include <QSpinBox>

void acceptProxyAddresses(QLineEdit* host, QSpinBox* port, QLineEdit* user, QLineEdit* password)
{
    QObject::connect(host, &QLineEdit::editingFinished, host,
                     [=] { spreadProxyAddress(host, port, user, password); });
}

void spreadProxyAddress(QLineEdit* host, QSpinBox* port, QLineEdit* user, QLineEdit* password)
{
    const QString text = host->text();
    if (!text.contains(QLatin1String("://")) && !text.contains(QLatin1Char('@')))
        return;
    const Result<QNetworkProxy> parsed = parseProxyUrl(text);
    if (!parsed.ok())
        return;
    const QNetworkProxy& proxy = parsed.value();
    host->setText(proxy.hostName());
    port->setValue(proxy.port());
    if (!proxy.user().isEmpty() && user->isEnabled()) {
        user->setText(proxy.user());
        password->setText(proxy.password());
    }
}
