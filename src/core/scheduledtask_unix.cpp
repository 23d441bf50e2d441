#include "scheduledtask.h"

#include <QCoreApplication>

namespace {
struct ScheduledTask
{
    Q_DECLARE_TR_FUNCTIONS(ScheduledTask)
};

Failure<QString> noScheduler()
{
    return failure(ScheduledTask::tr("this system has no task scheduler Skyvane sets up; use "
                                     "cron or a systemd timer"));
}
} // namespace

Result<void> registerScheduledTask(const QString&, const QByteArray&)
{
    return noScheduler();
}

Result<void> removeScheduledTask(const QString&)
{
    return noScheduler();
}
