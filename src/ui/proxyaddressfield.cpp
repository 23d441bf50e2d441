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
    const ParsedProxy parsed = parseProxyUrl(text);
    if (!parsed.error.isEmpty())
        return;
    host->setText(parsed.proxy.hostName());
    port->setValue(parsed.proxy.port());
    if (!parsed.proxy.user().isEmpty() && user->isEnabled()) {
        user->setText(parsed.proxy.user());
        password->setText(parsed.proxy.password());
    }
}
