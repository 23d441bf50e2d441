#include "network.h"

#include "logger.h"

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
    Logger* log = Logger::instance();
    bool result = false;
    for (const InterfaceSnapshot& interface : interfaces) {
        log->log(LogLevel::Debug, QStringLiteral("Checking interface for connectivity: %1 (%2)")
                                      .arg(interface.name, interface.hardwareAddress));
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
            log->log(LogLevel::Debug, QStringLiteral("    %1").arg(address.toString()));
            result = true;
        }
    }
    return result;
}

namespace {
quint16 portFromPart(const QStringList& parts, int index, QString* badPort)
{
    if (index < parts.size()) {
        const int port = validPort(parts.at(index));
        if (port == 0 && badPort)
            *badPort = parts.at(index);
        return quint16(port);
    }
    Logger::instance()->log(LogLevel::Info,
                            QStringLiteral("Proxy port not defined.  Defaulting to 80"));
    return 80;
}

QString partAt(const QStringList& parts, int index)
{
    return index < parts.size() ? parts.at(index) : QString();
}
} // namespace

int validPort(const QString& text)
{
    bool ok = false;
    const qlonglong port = text.toLongLong(&ok, 10);
    return ok && port >= 1 && port <= 65535 ? int(port) : 0;
}

QNetworkProxy parseProxyUrl(const QString& text, QString* badPort)
{
    QNetworkProxy parsed;
    if (text.isEmpty())
        return parsed;

    QString scheme;
    if (text.startsWith(QLatin1String("http://")))
        scheme = QStringLiteral("http://");
    else if (text.startsWith(QLatin1String("https://")))
        scheme = QStringLiteral("https://");
    QString rest = text.mid(scheme.size());

    if (!text.contains(QLatin1Char('@'))) {
        const QStringList parts = rest.split(QLatin1Char(':'), Qt::KeepEmptyParts);
        const QString host = parts.at(0);
        const quint16 port = portFromPart(parts, 1, badPort);
        parsed.setUser(QString());
        parsed.setPassword(QString());
        parsed.setHostName(host);
        parsed.setPort(port);
        parsed.setType(QNetworkProxy::HttpProxy);
        return parsed;
    }

    // user:password@host:port, taken by position after "@" becomes ":".
    // Fields that the text does not have stay empty.
    const QStringList parts = rest.replace(QLatin1Char('@'), QLatin1Char(':'))
                                  .split(QLatin1Char(':'), Qt::KeepEmptyParts);
    parsed.setUser(partAt(parts, 0));
    parsed.setPassword(partAt(parts, 1));
    parsed.setHostName(partAt(parts, 2));
    parsed.setPort(portFromPart(parts, 3, badPort));
    parsed.setType(QNetworkProxy::HttpProxy);
    return parsed;
}
