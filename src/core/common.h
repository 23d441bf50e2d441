#pragma once

#include "settingsscrambler.h"

#include <QMetaType>
#include <QNetworkProxy>
#include <QString>

// The run's status; its number becomes the process exit code.
enum class StatusCode
{
    NoError = 0,
    ConfigurationReadError = 1,
    SettingsWriteError = 2,
    NetworkError = 3,
    AuthenticationError = 4,
};

Q_DECLARE_METATYPE(StatusCode)

QString statusMessageFor(StatusCode status);

// The process-wide settings object. The fields are read and written directly
// by the code that owns each of them; readSettings()/saveSettings() move the
// persistent ones to and from the user's settings store.
class Common
{
public:
    static Common* instance();

    void readSettings();
    // False (and the status SettingsWriteError) when the store could not be written.
    bool saveSettings();

    QString statusMessage() const { return statusMessageFor(status); }
    int exitCode() const { return int(status); }

    // Restores the initial values; for tests that need a fresh settings object.
    void resetForTesting() { *this = Common(); }

    QString title = QStringLiteral("Quorix Server and Extensions Sky Vane");
    QString patchListUrl;
    QNetworkProxy proxy;
    bool useProxyServer = false;
    bool checkAtLogin = false;
    bool useProxyAuthentication = false;
    // The stored proxy cannot be used (its port is impossible): this run goes
    // without one, and the store stays as it is.
    bool savedProxyRefused = false;
    StatusCode status = StatusCode::NoError;
    // How long one retrieval of the list may take in all, in seconds; 0 for
    // no bound beyond its attempts and their time-outs.
    int retrievalBudgetSeconds = 0;

private:
    Common();
    void readMachineWideSettings(bool userHasProxySetting);

    SettingsScrambler scrambler;
};

extern const char* const defaultPatchListUrl;
