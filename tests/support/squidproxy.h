#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's squid on loopback, demanding Basic authentication, started and
// stopped by the test that uses it.
class SquidProxy
{
public:
    SquidProxy(const QString& user, const QString& password);
    ~SquidProxy();

    // Empty when it runs; otherwise why it could not be started.
    QString start();
    quint16 port() const { return listenPort; }

private:
    QTemporaryDir directory;
    QProcess process;
    QString user;
    QString password;
    quint16 listenPort = 0;
};
