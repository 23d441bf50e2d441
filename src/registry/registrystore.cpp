#include "registrystore.h"

#include "hives.h"

QString canonicalHiveName(QStringView hive)
{
    static const QString machine = QStringLiteral("HKEY_LOCAL_MACHINE");
    if (hive == machine) // as exports spell it
        return machine;
    for (const HiveName& entry : hiveNames) {
        const QStringView longName(entry.longName);
        if (hive.compare(QStringView(entry.shortName), Qt::CaseInsensitive) == 0 ||
            hive.compare(longName, Qt::CaseInsensitive) == 0)
            return longName.toString();
    }
    return QString();
}
