#pragma once

#include "checkresult.h"
#include "core/eventlog.h"
#include "fleetrow.h"

// The one event a check run without a window leaves in the system's log:
// information when nothing is missing, a warning when patches are, an error
// when the check failed (no usable list, an export not read, an UNKNOWN
// state). Its text is the summary: the counts, the security patches' names
// (for a fleet, the machines that lack one) and the list's address.
SystemEvent machineEvent(const CheckResult& result);
SystemEvent fleetEvent(const QList<FleetRow>& rows, const CheckResult& anyResult);
