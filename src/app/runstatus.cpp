#include "runstatus.h"

#include "core/common.h"
#include "core/logger.h"

bool saveRunSettings(Common& settings)
{
    const Result<void> saved = settings.saveSettings();
    if (saved.ok())
        return true;
    qCWarning(lcApp).noquote() << saved.errorString();
    settings.status = StatusCode::SettingsWriteError;
    return false;
}
