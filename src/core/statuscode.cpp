#include "statuscode.h"

#include <QCoreApplication>

namespace {
// The translation context of this file's texts.
struct Settings
{
    Q_DECLARE_TR_FUNCTIONS(Settings)
};
} // namespace

QString statusMessageFor(StatusCode status)
{
    switch (status) {
    case StatusCode::NoError:
        return Settings::tr("No Error");
    case StatusCode::ConfigurationReadError:
        return Settings::tr("Error reading system configuration");
    case StatusCode::SettingsWriteError:
        return Settings::tr("Error writing settings.");
    case StatusCode::NetworkError:
        return Settings::tr("Network connection error.");
    case StatusCode::AuthenticationError:
        return Settings::tr("A server authentication error occurred.");
    }
    return QString();
}
