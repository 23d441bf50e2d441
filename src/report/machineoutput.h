#pragma once

#include "checkresult.h"
#include "fleetformat.h"

#include <QByteArray>

// The outputs of /f for monitoring and scripts, all from one CheckResult; for
// a fleet, the formats that fleetformat.h declares.

// One JSON document as docs/report.schema.json describes it.
QByteArray jsonReport(const CheckResult& result);

// A check by the Monitoring Plugins guidelines: a status line with performance
// data, then one line per missing patch; the exit status is the CheckState.
struct NagiosCheck
{
    QByteArray text;
    int exitCode = 3;
};
NagiosCheck nagiosReport(const CheckResult& result);

// The Prometheus text exposition format, for the node exporter's textfile
// collector. In a fleet's (fleetformat.h) every series has a "machine" label.
QByteArray prometheusReport(const CheckResult& result);

// Writes one machine's report in the format of /f ("json", "nagios",
// "prometheus" or "html") on standard output and returns the exit code: the
// nagios state, or else the run's.
int writeMachineOutput(OutputFormat format, const CheckResult& result, int runExitCode);
