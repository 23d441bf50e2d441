#pragma once

#include "settingsscrambler.h"

#include <QNetworkProxy>
#include <QString>

#include <memory>

// The run's status; it becomes the process exit code.
enum StatusCode
{
    NoError = 0,
    ConfigurationReadError = 1,
    SettingsWriteError = 2,
    NetworkError = 3,
    AuthenticationError = 4,
};

QString statusMessageFor(int status);

// The process-wide settings object. The fields are read and written directly
// by the code that owns each of them; readSettings()/saveSettings() move the
// persistent ones to and from the user's settings store.
class Common
{
public:
    static Common* instance();

    void readSettings();
    void saveSettings();

    QString statusMessage() const;
    QNetworkProxy currentProxy() const;

    QString title() const { return titleText; }
    QString patchListUrl() const { return patchListAddress; }
    QNetworkProxy proxy() const { return manualProxy; }

    // Restores the initial values; for tests that need a fresh settings object.
    void resetForTesting();

    QString titleText;
    QString patchListAddress;
    QNetworkProxy manualProxy;
    QNetworkProxy systemProxy;
    bool useProxyServer = false;
    bool checkAtLogin = false;
    bool useSystemProxy = false;
    bool useProxyAuthentication = false;
    std::unique_ptr<SettingsScrambler> scrambler;
    int status = NoError;

private:
    Common();
    void setInitialValues();
};

extern const char* const defaultPatchListUrl;
