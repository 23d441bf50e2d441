#include "policy.h"

#include <QSettings>

Policy readPolicy()
{
    const QString key = QString::fromLatin1(policyKey);
    const QSettings machine(QStringLiteral("HKEY_LOCAL_MACHINE\\") + key,
                            QSettings::Registry64Format);
    const QSettings user(QStringLiteral("HKEY_CURRENT_USER\\") + key, QSettings::Registry64Format);
    return policyOf(machine, user);
}
