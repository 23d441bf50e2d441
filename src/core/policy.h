#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QSettings;

// What an administrator fixed by Group Policy: the values under
// Software\Policies\Vandry\Skyvane, of HKEY_LOCAL_MACHINE over those of
// HKEY_CURRENT_USER (packaging/windows/policy/skyvane.admx writes them). They
// win over the user's settings and the installer's machine-wide ones; a
// switch given for one run still counts for that run. Unset, a value is none.
struct Policy
{
    std::optional<QString> patchListUrl;
    std::optional<int> proxyMode; // 0 no proxy, 1 the ProxyUrl, 2 the system's proxy
    std::optional<QString> proxyUrl;
    std::optional<bool> trayAtLogon;
    // Of the unattended checks (/f, fleets), as /maxage, /securityonly,
    // /count and /age set them.
    std::optional<int> maxExportAgeDays;
    std::optional<bool> securityOnly;
    std::optional<int> countWarning;
    std::optional<int> countCritical;
    std::optional<int> ageWarning;
    std::optional<int> ageCritical;
    // The values that were set but could not be read, named, in the user's language.
    QStringList problems;

    bool fixesProxy() const { return proxyMode.has_value(); }
};

// Below HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
extern const char* const policyKey;
// The names of the values read, in the order of the members above.
QStringList policyValueNames();

// This machine's policy: none on a system without Group Policy.
Policy readPolicy();
// Of the machine's and the user's values, the machine's first.
Policy policyOf(const QSettings& machine, const QSettings& user);
