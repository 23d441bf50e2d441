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

// The run's settings and status. Start-up makes one and hands it to whatever
// reads or changes a setting; readSettings()/saveSettings() move the
// persistent fields to and from the user's settings store.
class Common
{
public:
    Common();

    void readSettings();
    // False (and the status SettingsWriteError) when the store could not be written.
    bool saveSettings();
    // The machine-wide proxy that the installer sets, null to remove it: the
    // address without its password, the password protected for this machine
    // (Windows only). Why it could not be stored, or empty.
    QString saveMachineWideProxy(const QNetworkProxy* machineProxy);

    QString statusMessage() const { return statusMessageFor(status); }
    int exitCode() const { return int(status); }

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
    void readMachineWideSettings(bool userHasProxySetting);

    SettingsScrambler scrambler;
};

extern const char* const defaultPatchListUrl;
