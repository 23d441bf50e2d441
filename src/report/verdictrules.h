#pragma once

#include "acknowledgements.h"
#include "core/result.h"

#include <QList>

#include <memory>
#include <optional>

struct MissingPatch;
struct PreviousReport;
enum class CheckState;

// A pair of limits as monitors write them: "W,C", "W" or ",C".
struct Thresholds
{
    std::optional<int> warning;
    std::optional<int> critical;
    bool isSet() const { return warning || critical; }
};
// Whole numbers from the minimum up, the warning limit not above the critical
// one; why not otherwise (to follow the switch's name and value).
Result<Thresholds> parseThresholds(const QString& text, int minimum);

// What raises a machine's state once its list and export are usable. Without
// thresholds a missing security patch is CRITICAL and any other WARNING;
// with them, the thresholds alone decide. A patch counts unless it is within
// grace, acknowledged until a day not yet past, or, security-only, no
// security patch; a counted patch without a known release date is older
// than any age limit.
struct VerdictRules
{
    int graceDays = 0;
    bool securityOnly = false; // other patches are listed but leave the state OK
    Thresholds count;          // at least W (C) counted patches missing
    Thresholds ageDays;        // a counted patch older than W (C) days
    int maxExportAgeDays = 0;  // an export more whole days old is UNKNOWN; 0: any age
    std::shared_ptr<const QList<Acknowledgement>> acknowledged; // of /ack; none: nothing
    // Of /since: the earlier report the run tells the changes since. It
    // raises nothing; it travels with the rules to every machine's check.
    std::shared_ptr<const PreviousReport> previous;
    bool hasThresholds() const { return securityOnly || count.isSet() || ageDays.isSet(); }
};

// The acknowledgements whose lines are not among those used.
QList<Acknowledgement> unusedAcknowledgements(const VerdictRules& rules, const QList<int>& used);

bool countsForState(const MissingPatch& patch, const VerdictRules& rules);
CheckState patchState(const QList<MissingPatch>& missing, const VerdictRules& rules);
