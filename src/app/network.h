#pragma once

#include <QHostAddress>
#include <QList>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QString>

// What the connectivity check needs to know of one interface.
struct InterfaceSnapshot
{
    QString name;
    QString hardwareAddress;
    QNetworkInterface::InterfaceFlags flags;
    bool valid = true;
};

bool isNetworkAvailable();
bool isNetworkAvailable(const QList<InterfaceSnapshot>& interfaces,
                        const QList<QHostAddress>& machineAddresses);

// When the text names a port that is not a whole number from 1 to 65535, that
// port's text goes to badPort and the proxy's port is 0.
QNetworkProxy parseProxyUrl(const QString& text, QString* badPort = nullptr);

// The port a text names, or 0 unless it is a whole number from 1 to 65535.
int validPort(const QString& text);
