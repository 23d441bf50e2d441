#pragma once

#include <QProcess>
#include <QTemporaryDir>

// Debian's squid on loopback, demanding Basic authentication; runs as long
// as the object lives.
class SquidProxy
{
public:
    SquidProxy(const QString& user, const QString& password);
    ~SquidProxy();

    // Empty when it runs; otherwise why it could not be started.
    QString problem() const { return failure; }
    quint16 port() const { return listenPort; }

private:
    QTemporaryDir directory;
    QProcess process;
    quint16 listenPort = 0;
    QString failure;
};
