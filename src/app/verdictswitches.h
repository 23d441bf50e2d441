#pragma once

#include "core/policy.h"
#include "core/result.h"
#include "report/verdictrules.h"

struct RunOptions;

// What raises the state in this run: /g, /maxage, /ack, /securityonly, /count
// and /age, and the report /since compares with; why a switch's value or
// file cannot be used otherwise.
// Group Policy sets what a switch leaves unset.
Result<VerdictRules> verdictRulesOfRun(const RunOptions& options, const Policy& policy = {});

// Tells of each acknowledgement that none of the run's machines used, so that
// the file does not rot.
void reportUnusedAcknowledgements(const VerdictRules& rules, const QList<int>& used);
