#include "machinesecret.h"

Result<QByteArray> protectForMachine(const QString&)
{
    return failure(QStringLiteral("no protection for machine secrets on this system"));
}

Result<QString> unprotectForMachine(const QByteArray&)
{
    return failure(QStringLiteral("no protection for machine secrets on this system"));
}

Result<QByteArray> protectForUser(const QString&)
{
    return failure(QStringLiteral("no protection for user secrets on this system"));
}

Result<QString> unprotectForUser(const QByteArray&)
{
    return failure(QStringLiteral("no protection for user secrets on this system"));
}
