#pragma once

#include "policy.h"
#include "result.h"
#include "settingsscrambler.h"
#include "statuscode.h"

#include <QNetworkProxy>
#include <QString>
#include <QStringList>

// The run's settings and status. Start-up makes one and hands it to whatever
// reads or changes a setting; readSettings()/saveSettings() move the
// persistent fields to and from the user's settings store. The status is
// the run's, set by app/ and the desktop: nothing here sets it.
class Common
{
public:
    Common();

    // What was found wrong with the stored settings, in the user's language;
    // each was left out, and the rest read.
    QStringList readSettings();
    Result<void> saveSettings();
    // The machine-wide proxy that the installer sets, null to remove it: the
    // address without its password, the password protected for this machine
    // (Windows only).
    Result<void> saveMachineWideProxy(const QNetworkProxy* machineProxy);
    // Puts what Group Policy fixes over the settings read; what of it cannot
    // be used, in the user's language. readSettings() applies this machine's.
    QStringList applyPolicy(const Policy& fixed);

    QString title = QStringLiteral("Quorix Server and Extensions Sky Vane");
    QString patchListUrl;
    QNetworkProxy proxy;
    bool useProxyServer = false;
    // With useProxyServer: the system's proxy for each address, not the one of
    // the fields (whose user and password it still takes).
    bool useSystemProxy = false;
    // /systemproxy: the system's proxy for this run only, never stored.
    bool systemProxyThisRun = false;
    // Whether requests take the system's proxy, stored or for this run.
    bool usesSystemProxy() const
    {
        return systemProxyThisRun || (useProxyServer && useSystemProxy);
    }
    bool checkAtLogin = false;
    bool useProxyAuthentication = false;
    // The stored proxy cannot be used (its port is impossible): this run goes
    // without one, and the store stays as it is.
    bool savedProxyRefused = false;
    StatusCode status = StatusCode::NoError;
    // How long one retrieval of the list may take in all, in seconds; 0 for
    // no bound beyond its attempts and their time-outs.
    int retrievalBudgetSeconds = 0;
    // How old the kept copy of the list may be to stand in for the server's,
    // in hours; 0: no list is kept nor asked for conditionally.
    int listCacheHours = 0;
    // A retrieval left network work behind that the process must not wait
    // for at its end.
    bool networkWorkAbandoned = false;
    // Why the run does not use the network (a machine found offline), or empty.
    QString networkRefusal;
    // What Group Policy fixed: saving leaves the user's own values of it alone.
    Policy policy;

private:
    QStringList readMachineWideSettings(bool userHasProxySetting);

    SettingsScrambler scrambler;
};

extern const char* const defaultPatchListUrl;
