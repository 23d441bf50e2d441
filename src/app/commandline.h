#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class Common;

// The switches of one run, read once from its arguments: "/x" or "-x" in any
// case, a value in the argument that follows (empty when none does).
struct RunOptions
{
    QStringList arguments;               // as given, the program first
    bool console = false;                // c
    std::optional<QString> format;       // f NAME
    QStringList exports;                 // r FILE-OR-FOLDER, any number of them
    bool tray = false;                   // i
    std::optional<QString> verbosity;    // v LEVEL
    std::optional<QString> logFile;      // l FILE
    std::optional<QString> proxy;        // p URL
    bool removeProxy = false;            // k
    bool showProxy = false;              // s
    bool help = false;                   // h or ?
    std::optional<QString> listUrl;      // u URL
    std::optional<QString> budget;       // t SECONDS
    std::optional<QString> grace;        // g DAYS
    bool securityOnly = false;           // securityonly
    bool atLogon = false;                // atlogon: started by the installer's log-on entry
    bool systemProxy = false;            // systemproxy: the system's proxy for this run
    std::optional<QString> countLimits;  // count WARNING,CRITICAL
    std::optional<QString> ageLimits;    // age WARNING,CRITICAL (days)
    std::optional<QString> maxExportAge; // maxage DAYS
    std::optional<QString> acknowledged; // ack FILE
    std::optional<QString> since;        // since FILE: an earlier /f json report
    std::optional<QString> listCache;    // listcache HOURS: the cache's bound, 0 turns it off
    // machineproxy URL: the installer stores the machine-wide proxy (empty: removes it)
    std::optional<QString> machineProxy;
    // dailycheck HH:MM[,FORMAT[,KEEP]]: the installer sets up the daily check (empty: removes it)
    std::optional<QString> dailyCheck;
    QStringList unknown; // arguments that are no switch nor a switch's value
};

RunOptions parseRunOptions(const QStringList& arguments);

// The value of a switch that takes a whole number from minimum up: the
// fallback when the switch is not given, nothing when its value is something else.
std::optional<int> wholeNumberSwitch(const std::optional<QString>& text, int minimum, int fallback);

// The process's own argument vector, entry 0 being the program.
QStringList argumentsOf(int argc, char** argv);

// Logs the arguments, a proxy password masked.
void logProgramArguments(const QStringList& arguments);
void printUsage();
void printProxySettings(const Common& settings);
