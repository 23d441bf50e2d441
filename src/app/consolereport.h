#pragma once

#include <QList>

struct CheckResult;

// The whole output of console mode for one machine: installed products,
// available updates per product and installed patches.
void printConsoleReport(const CheckResult& result);

// Several machines: a table with one row per machine, then each machine's report.
void printFleetReport(const QList<CheckResult>& results);
