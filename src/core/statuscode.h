#pragma once

#include <QMetaType>
#include <QString>

// How a run ended; app/ makes its number the process exit code.
enum class StatusCode
{
    NoError = 0,
    ConfigurationReadError = 1,
    SettingsWriteError = 2,
    NetworkError = 3,
    AuthenticationError = 4,
};

Q_DECLARE_METATYPE(StatusCode)

// "Network connection error.", in the user's language.
QString statusMessageFor(StatusCode status);
