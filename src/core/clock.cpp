#include "clock.h"

#include "console.h"

#include <QByteArray>
#include <QCoreApplication>

namespace {
// The translation context of this file's texts.
struct Clock
{
    Q_DECLARE_TR_FUNCTIONS(Clock)
};
} // namespace

Result<QDateTime> readCheckTime()
{
    const QByteArray given = qgetenv("SKYVANE_NOW");
    if (given.isEmpty())
        return QDateTime::currentDateTimeUtc();
    QDateTime fixed = QDateTime::fromString(QString::fromLatin1(given), Qt::ISODate);
    if (!fixed.isValid())
        return failure(Clock::tr("SKYVANE_NOW is \"%1\", which is no date or date and time as "
                                 "ISO 8601 writes them (2026-06-01 or 2026-06-01T10:00:00).")
                           .arg(printable(QString::fromLatin1(given))));
    if (fixed.timeSpec() == Qt::LocalTime)
        fixed.setTimeSpec(Qt::UTC);
    return fixed.toUTC();
}
