#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QString>
#include <QTime>

// The daily unattended check the Windows installer sets up (DAILYCHECK): a
// scheduled task that runs daily-check.cmd beside the program as SYSTEM.
struct DailyCheck
{
    QTime at;
    QString format = QStringLiteral("json");
    int keep = 7; // results kept in %ProgramData%\Skyvane
};

// "HH:MM[,FORMAT[,KEEP]]", for example "02:30" or "02:30,nagios,14".
Result<DailyCheck> parseDailyCheck(const QString& text);
// The task's definition (Task Scheduler XML, UTF-16 as schtasks reads it)
// for the program folder.
QByteArray dailyCheckTask(const DailyCheck& check, const QString& programFolder);
extern const char* const dailyCheckTaskName;

// Switch "dailycheck": the task set up, or removed with an empty text; the
// run's exit code.
int storeDailyCheck(const QString& text);
