#include "interactivesession.h"

#include <QtGlobal>

bool isInteractiveSession()
{
    // Without a display server QApplication would abort the process.
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}
