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
