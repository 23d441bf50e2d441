#pragma once

#include "checkresult.h"

#include <QByteArray>

// The outputs of /f for monitoring and scripts, all from one CheckResult.

QString listStateName(ListState state);

// One JSON document as docs/report.schema.json describes it.
QByteArray jsonReport(const CheckResult& result);

// A check by the Monitoring Plugins guidelines: a status line with performance
// data, then one line per missing patch; the exit status is 0 OK, 1 WARNING
// (only non-security patches missing), 2 CRITICAL (a security patch missing),
// 3 UNKNOWN (no usable list, or an unreadable registry export).
struct NagiosCheck
{
    QByteArray text;
    int exitCode = 3;
};
NagiosCheck nagiosReport(const CheckResult& result);

// The Prometheus text exposition format, for the node exporter's textfile collector.
QByteArray prometheusReport(const CheckResult& result);
