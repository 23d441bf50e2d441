#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>

// The system's task scheduler, as an installer uses it: on Windows through
// schtasks; elsewhere there is none (cron and systemd timers are set up by
// hand) and both fail.
//
// Registers the task of that name from its definition (Task Scheduler XML),
// replacing one of the same name.
Result<void> registerScheduledTask(const QString& name, const QByteArray& definition);
// Removes the task of that name.
Result<void> removeScheduledTask(const QString& name);
