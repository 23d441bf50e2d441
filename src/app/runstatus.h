#pragma once

#include "core/statuscode.h"

class Common;

// The exit code of a run that ends in the status.
inline int exitCodeOf(StatusCode status)
{
    return int(status);
}

// Saves the settings for later runs; a store that cannot be written makes
// the run's status SettingsWriteError. Whether they were saved.
bool saveRunSettings(Common& settings);
// The same for callers that print nothing of their own (dialogs, the popup,
// credentials kept during a retrieval): a failure is also logged and shown.
bool saveRunSettingsOrReport(Common& settings);
