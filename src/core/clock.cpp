#include "clock.h"

#include <QByteArray>

QDateTime checkTime()
{
    const QByteArray given = qgetenv("SKYVANE_NOW");
    if (!given.isEmpty()) {
        QDateTime fixed = QDateTime::fromString(QString::fromLatin1(given), Qt::ISODate);
        if (fixed.isValid()) {
            if (fixed.timeSpec() == Qt::LocalTime)
                fixed.setTimeSpec(Qt::UTC);
            return fixed.toUTC();
        }
    }
    return QDateTime::currentDateTimeUtc();
}
