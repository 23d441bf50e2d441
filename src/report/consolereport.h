#pragma once

#include <QList>

struct CheckResult;

// The whole output of console mode for one machine: installed products,
// available updates per product and installed patches.
void printConsoleReport(const CheckResult& result);
