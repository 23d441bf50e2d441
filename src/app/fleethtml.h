#pragma once

#include "checkresult.h"

#include <QByteArray>
#include <QList>

// One self-contained HTML page for a mail or a printer: inline CSS, no
// scripts, nothing loaded from elsewhere. A table of the machines, the worst
// first, then per machine its products and missing patches; links only to
// http and https addresses; every received text escaped.
QByteArray htmlFleetReport(const QList<CheckResult>& results);
