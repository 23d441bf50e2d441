#pragma once

#include "checkresult.h"

#include <QByteArray>

// The outputs of /f for monitoring and scripts, all from one CheckResult.

QString listStateName(ListState state);

// One JSON document as docs/report.schema.json describes it.
QByteArray jsonReport(const CheckResult& result);
// Several machines: their documents in an array, with a summary.
QByteArray jsonFleetReport(const QList<CheckResult>& results);

// How a check stands, by the numbers of the Monitoring Plugins.
enum class CheckState
{
    Ok = 0,
    Warning = 1,  // only non-security patches missing
    Critical = 2, // a security patch missing
    Unknown = 3,  // no usable list, or an unreadable registry export
};
struct MachineCheck
{
    CheckState state = CheckState::Unknown;
    QString summary; // "3 updates missing (1 security, oldest 45 days)"
};
MachineCheck machineCheck(const CheckResult& result);

// A check by the Monitoring Plugins guidelines: a status line with performance
// data, then one line per missing patch; the exit status is the CheckState.
struct NagiosCheck
{
    QByteArray text;
    int exitCode = 3;
};
NagiosCheck nagiosReport(const CheckResult& result);
// Several machines: the worst state, and per machine its state and patches.
NagiosCheck nagiosFleetReport(const QList<CheckResult>& results);

// The Prometheus text exposition format, for the node exporter's textfile
// collector; with several machines every series has a "machine" label.
QByteArray prometheusReport(const CheckResult& result);
QByteArray prometheusReport(const QList<CheckResult>& results, bool labelMachines);

// Writes the report in the format of /f ("json", "nagios", "prometheus" or
// "html") on standard output and returns the exit code: the nagios state,
// or else the run's.
int writeMachineOutput(const QString& format, const QList<CheckResult>& results, bool fleet,
                       int runExitCode);
