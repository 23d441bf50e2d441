#include "machinesecret.h"

std::optional<QByteArray> protectForMachine(const QString&)
{
    return std::nullopt;
}

std::optional<QString> unprotectForMachine(const QByteArray&)
{
    return std::nullopt;
}
