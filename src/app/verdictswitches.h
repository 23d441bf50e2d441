#pragma once

#include "core/result.h"
#include "report/verdictrules.h"

struct RunOptions;

// What raises the state in this run: /g, /maxage, /ack, /securityonly, /count
// and /age; why a switch's value cannot be read otherwise.
Result<VerdictRules> verdictRulesOfRun(const RunOptions& options);

// Tells of each acknowledgement that none of the run's machines used, so that
// the file does not rot.
void reportUnusedAcknowledgements(const VerdictRules& rules, const QList<int>& used);
