#pragma once

#include <QString>
#include <QStringList>

// What a command cost, per run.
struct Measured
{
    double wallMs = 0;
    double cpuMs = 0;
    qint64 peakKb = 0;
};

// A command run a number of times under GNU time, which reports the runs'
// own figures: it starts them from its own small process, so the peak is
// theirs alone (a child of this large process would inherit its size in the
// kernel's accounting). Times are per run; the clock ticks in 10 ms, so short
// commands run often enough to be measured. Empty when a run crashes.
Measured timed(const QStringList& command, int runs, const QString& configDir);
