#include "network.h"

#include "core/console.h"

#include "core/logger.h"

#include <QObject>
#include <QUrl>

bool isNetworkAvailable()
{
    QList<InterfaceSnapshot> interfaces;
    const auto all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : all)
        interfaces.append({interface.humanReadableName(), interface.hardwareAddress(),
                           interface.flags(), interface.isValid()});
    return isNetworkAvailable(interfaces, QNetworkInterface::allAddresses());
}

bool isNetworkAvailable(const QList<InterfaceSnapshot>& interfaces,
                        const QList<QHostAddress>& machineAddresses)
{
    bool result = false;
    for (const InterfaceSnapshot& interface : interfaces) {
        qCDebug(lcApp).noquote() << QStringLiteral("Checking interface for connectivity: %1 (%2)")
                                        .arg(interface.name, interface.hardwareAddress);
        const auto flags = interface.flags;
        const bool qualifies = flags.testFlag(QNetworkInterface::IsUp) &&
                               flags.testFlag(QNetworkInterface::IsRunning) &&
                               !flags.testFlag(QNetworkInterface::IsLoopBack) &&
                               !flags.testFlag(QNetworkInterface::IsPointToPoint) &&
                               interface.valid;
        if (!qualifies)
            continue;
        for (const QHostAddress& address : machineAddresses) {
            if (address == QHostAddress(QHostAddress::LocalHost) ||
                address == QHostAddress(QHostAddress::LocalHostIPv6))
                continue;
            qCDebug(lcApp).noquote() << QStringLiteral("    %1").arg(address.toString());
            result = true;
        }
    }
    return result;
}
