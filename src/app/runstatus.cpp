#include "runstatus.h"

#include "core/common.h"

bool saveRunSettings(Common& settings)
{
    if (settings.saveSettings().ok())
        return true;
    settings.status = StatusCode::SettingsWriteError;
    return false;
}
