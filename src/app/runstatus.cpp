#include "runstatus.h"

#include "core/common.h"
#include "messages.h"

#include <QCoreApplication>

namespace {
// The translation context of this file's texts.
struct RunStatus
{
    Q_DECLARE_TR_FUNCTIONS(RunStatus)
};
} // namespace

bool saveRunSettings(Common& settings)
{
    if (settings.saveSettings().ok())
        return true;
    settings.status = StatusCode::SettingsWriteError;
    return false;
}

bool saveRunSettingsOrReport(Common& settings)
{
    if (saveRunSettings(settings))
        return true;
    reportError(RunStatus::tr("Settings Error"), statusMessageFor(settings.status));
    return false;
}
