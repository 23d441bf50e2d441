#pragma once

#include "result.h"

#include <QDateTime>

// The one moment a run counts ages from, read once at start-up: the
// environment's SKYVANE_NOW (an ISO 8601 date or date and time, UTC unless it
// says otherwise) when set, else the system clock. Setting it replays a check
// as of another day, which is how reports are reproduced and tested. Why
// SKYVANE_NOW cannot be read otherwise: start-up refuses to run then.
Result<QDateTime> readCheckTime();
