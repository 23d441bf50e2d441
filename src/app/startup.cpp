#include "startup.h"

#include "check.h"
#include "commandline.h"
#include "core/clock.h"
#include "core/common.h"
#include "core/console.h"
#include "core/crashexit.h"
#include "core/localfile.h"
#include "core/logger.h"
#include "dailycheck.h"
#include "desktop.h"
#include "fleet.h"
#include "messages.h"
#include "network.h"
#include "products/discoveryexport.h"
#include "products/quorixconfig.h"
#include "proxyswitches.h"
#include "registry/registryfile.h"
#include "report/checkresult.h"
#include "report/reportformats.h"
#include "report/systemevents.h"
#include "runretrieval.h"
#include "runstatus.h"
#include "update/quorixupdate.h"
#include "verdictswitches.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QLoggingCategory>
#include <QObject>
#include <QTranslator>

#include <memory>
#include <variant>

namespace {
// The translation context of this file's texts.
struct Startup
{
    Q_DECLARE_TR_FUNCTIONS(Startup)
};
} // namespace

namespace {
// The log that the switches "V" and "L" ask for, the arguments recorded in it.
std::unique_ptr<LogSink> startLog(const RunOptions& options)
{
    // Standard output may carry a machine-readable report (/f).
    QString target = options.format ? QStringLiteral("stderr") : QStringLiteral("stdout");
    int verbosity = options.verbosity ? options.verbosity->toInt(nullptr, 10) : 0;
    if (options.logFile) {
        target = *options.logFile;
        if (verbosity == 0)
            verbosity = 1;
    }
    auto sink = std::make_unique<LogSink>(target, verbosity);
    if (!sink->errorString().isEmpty())
        showCriticalMessage(LogSink::errorTitle(), sink->errorString(), nullptr);
    logProgramArguments(options.arguments);
    return sink;
}

// One warning for what no switch takes; the run goes on without it.
void warnOfUnknownArguments(const QStringList& unknown)
{
    if (unknown.isEmpty())
        return;
    QStringList quoted;
    for (const QString& argument : unknown)
        quoted << QLatin1Char('"') + printable(argument) + QLatin1Char('"');
    const QString warning =
        Startup::tr("Ignored, as no switch of Skyvane: %1").arg(quoted.join(QStringLiteral(", ")));
    qCWarning(lcApp).noquote() << warning;
    writeErrorLine(warning);
}

// A Windows program that was to open a window but has no desktop runs as a
// scheduled task, a service or on Server Core: what it has to say goes to
// standard error, where whatever started it collects it, never into a box
// nobody can close. Elsewhere such messages stay on the console as before.
bool messagesToStandardError(bool consoleMode)
{
#ifdef Q_OS_WIN
    return !consoleMode && !isGuiApplication();
#else
    Q_UNUSED(consoleMode);
    return false;
#endif
}

// Exit code of a run that dies: never 0, and UNKNOWN to a monitor (as a
// check that could not be made).
constexpr int crashExitCode = 3;
// Exit code of a GUI run that found no desktop to show its window on.
constexpr int noDesktopExitCode = 1;
// Exit code of a tray run without a tray.
constexpr int noTrayExitCode = 1;
// Exit code of a run whose command line cannot be carried out.
constexpr int usageErrorExitCode = 1;

QCoreApplication* createApplication(bool consoleMode, int& argc, char** argv,
                                    IGuiFrontend* frontend)
{
    if (!consoleMode && frontend) {
        if (QCoreApplication* app = frontend->createApplication(argc, argv))
            return app;
    }
    return new QCoreApplication(argc, argv);
}

void installTranslator(QTranslator& translator, const QString& prefix)
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString locale = QLocale::system().name();
    (void)translator.load(dir + QStringLiteral("/locale/") + prefix + locale);
    QCoreApplication::installTranslator(&translator);
}

// Switch "R": discovery reads a registry export instead of the machine's
// registry; an export that cannot be read is an empty machine.
std::unique_ptr<RegistryStore>
readRegistryExport(const QString& fileName, std::optional<ExportFacts>& facts, Common& settings)
{
    Result<DiscoveryExport, RegistryFileError> result = loadExportForDiscovery(LocalPath(fileName));
    if (result.ok()) {
        qCInfo(lcApp).noquote() << QStringLiteral("Reading the registry export %1").arg(fileName);
        facts = result.value().facts;
        return std::move(result.value().store);
    }
    const QString message = registryFileErrorText(fileName, result.error());
    reportError(Startup::tr("Registry Error"), message);
    settings.status = StatusCode::ConfigurationReadError;
    return std::make_unique<RegistryFileStore>();
}

void reportOfflineMachine(Common& settings)
{
    const QString message = Startup::tr(
        "Your computer appears to be offline.  Check your Internet connection and try again.");
    // On the desktop the report says it, in place of its updates: no box before it.
    if (isGuiApplication())
        qCCritical(lcApp).noquote() << message;
    else
        reportError(Startup::tr("Network Error"), message);
    settings.status = StatusCode::NetworkError;
    settings.networkRefusal = message;
}

// As wholeNumberSwitch(), with the usage message when the value is no such number.
std::optional<int> wholeNumberOrUsage(const std::optional<QString>& text, int minimum, int fallback,
                                      const QString& usage)
{
    const std::optional<int> number = wholeNumberSwitch(text, minimum, fallback);
    if (!number)
        showCriticalMessage(Startup::tr("Usage Error"), usage.arg(printable(*text)), nullptr);
    return number;
}

// A monitor ends a check after 60 s by default; an unattended run ends its
// retrieval before that, so that it still reports in its own words.
constexpr int unattendedBudgetSeconds = 50;

// The check's report in a format on standard output; the exit code: the
// check's state for a format that exits with it, else the run's.
int writeReport(const ReportFormat& format, const CheckResult& result, int runExitCode)
{
    QByteArray text;
    format.writeMachine(result, text);
    writeConsole(QString::fromUtf8(text));
    return format.exitsWithCheckState() ? int(machineCheck(result).state) : runExitCode;
}

// Switch "F": a machine-readable report instead of the console report; "G"
// sets the grace period in days.
int runMachineOutput(const ReportFormat& format, const CheckRequest& request, Common& settings)
{
    RunRetrievalHost host(settings);
    const CheckResult result = runCheck(request, host);
    if (result.listState == ListState::Ok)
        reportUnusedAcknowledgements(request.rules, result.acknowledgementsUsed);
    writeSystemEvent(machineEvent(result));
    return writeReport(format, result, exitCodeOf(settings.status));
}

void runConsoleMode(const CheckRequest& request, Common& settings)
{
    qCInfo(lcApp).noquote() << QStringLiteral("<<<<<<< Running in console mode >>>>>>>>>");
    RunRetrievalHost host(settings);
    const CheckResult result = runCheck(request, host);
    writeSystemEvent(machineEvent(result));
    (void)writeReport(*consoleReportFormat(), result, 0);
}

// "json, nagios, prometheus or html": the formats /f takes.
QString formatChoice()
{
    QStringList names = reportFormatNames();
    const QString last = names.takeLast();
    return names.isEmpty() ? last
                           : Startup::tr("%1 or %2").arg(names.join(QStringLiteral(", ")), last);
}

// What the switches leave to do once they are read: the check and its output.
struct CheckPlan
{
    std::unique_ptr<ReportFormat> format; // of /f, or the console's
    VerdictRules rules;
    QDateTime now; // the one moment the run counts ages from
};

// Checks the switches' values and carries out those that end the run (the
// usage, the proxy settings): the plan of the check, or the run's exit code.
std::variant<CheckPlan, int> followSwitches(const RunOptions& options, Common& settings)
{
    Common* common = &settings;
    std::unique_ptr<ReportFormat> format =
        options.format ? reportFormatNamed(*options.format) : consoleReportFormat();
    if (!format) {
        showCriticalMessage(Startup::tr("Usage Error"),
                            Startup::tr("Unknown output format \"%1\"; /f takes %2.")
                                .arg(printable(*options.format), formatChoice()),
                            nullptr);
        return usageErrorExitCode;
    }
    const Result<QDateTime> now = readCheckTime();
    if (!now.ok()) {
        showCriticalMessage(Startup::tr("Usage Error"), now.errorString(), nullptr);
        return usageErrorExitCode;
    }
    const std::optional<int> budget = wholeNumberOrUsage(
        options.budget, 1, options.format ? unattendedBudgetSeconds : 0,
        Startup::tr("/t takes a whole number of seconds from 1 up, not \"%1\"."));
    if (!budget)
        return usageErrorExitCode;
    const bool unattended = options.format || isFleet(options.exports);
    const std::optional<int> cacheHours = wholeNumberOrUsage(
        options.listCache, 0, 0,
        Startup::tr("/listcache takes a whole number of hours from 0 up, not \"%1\"."));
    if (!cacheHours)
        return usageErrorExitCode;
    if (options.listCache && !unattended && !options.console) {
        showCriticalMessage(Startup::tr("Usage Error"),
                            Startup::tr("/listcache keeps the list for checks without a window: "
                                        "give it with /c, /f or a fleet of exports."),
                            nullptr);
        return usageErrorExitCode;
    }
    common->listCacheHours = *cacheHours;
    Result<VerdictRules> rules = verdictRulesOfRun(options, common->policy);
    if (!rules.ok()) {
        showCriticalMessage(Startup::tr("Usage Error"), rules.errorString(), nullptr);
        return usageErrorExitCode;
    }
    common->retrievalBudgetSeconds = *budget;
    if (options.machineProxy)
        return storeMachineWideProxy(*options.machineProxy, settings);
    if (options.dailyCheck)
        return storeDailyCheck(*options.dailyCheck);
    if (options.proxy && !applyProxyFromCommandLine(*options.proxy, settings))
        return usageErrorExitCode;
    if (options.help) {
        printUsage();
        return 0;
    }
    if (options.listUrl)
        common->patchListUrl = *options.listUrl;
    common->systemProxyThisRun = options.systemProxy;
    // The installer's log-on entry runs the tray check unless Group Policy turns it off.
    if (options.atLogon && settings.policy.trayAtLogon == false) {
        qCInfo(lcApp).noquote() << QStringLiteral(
            "The tray check at log-on is turned off by Group Policy.");
        return 0;
    }
    if (options.removeProxy)
        return removeProxySetting(settings) ? exitCodeOf(common->status) : usageErrorExitCode;
    if (options.showProxy) {
        printProxySettings(settings);
        // A proxy that /p could not save is an error all the same.
        return exitCodeOf(common->status);
    }
    return CheckPlan{std::move(format), std::move(rules).value(), now.value()};
}

// The check of the machine (or of its export), reported as the switches ask.
int checkMachine(const RunOptions& options, const CheckPlan& plan, bool consoleMode,
                 IDesktop* frontend, Common& settings)
{
    Common* common = &settings;
    // Discovery has read all it needs once it is done; a loaded export can be large.
    std::optional<ExportFacts> facts;
    const InstalledSoftware software = discoverInstalledSoftware(*(
        options.exports.isEmpty() ? createNativeRegistry()
                                  : readRegistryExport(options.exports.first(), facts, settings)));

    if (options.format) {
        CheckRequest request = checkRequestOfRun(options, plan.rules, software, plan.now, settings);
        request.exported = facts;
        return runMachineOutput(*plan.format, request, settings);
    }
    const CheckRequest request =
        checkRequestOfRun(options, VerdictRules(), software, plan.now, settings);
    if (consoleMode) {
        runConsoleMode(request, settings);
        return exitCodeOf(common->status);
    }
    qCInfo(lcApp).noquote() << QStringLiteral("<<<<<<< Running in GUI mode >>>>>>>>>");
    if (options.tray) {
        if (!frontend->runTrayMode(request, settings)) {
            writeErrorLine(Startup::tr("No system tray available.  Exiting."));
            return noTrayExitCode;
        }
    } else
        frontend->runDialogMode(request, settings);
    return exitCodeOf(common->status);
}
} // namespace

int runSkyvane(int& argc, char** argv, IDesktop* frontend)
{
    // Nothing is logged before the log that the switches ask for is open.
    QLoggingCategory::setFilterRules(QStringLiteral("skyvane.*=false"));
    exitWithCodeOnCrash(crashExitCode);
    prepareConsoleOutput();
    const RunOptions options = parseRunOptions(argumentsOf(argc, argv));
    // Several exports, or a folder of them: a fleet, reported without a window.
    const bool fleet = isFleet(options.exports);
    const bool consoleMode = options.console || options.format || fleet || !frontend;
    const std::unique_ptr<QCoreApplication> application(
        createApplication(consoleMode, argc, argv, frontend));
    setMachineOutput(options.format.has_value() || messagesToStandardError(consoleMode));
    QCoreApplication::setOrganizationName(QStringLiteral("Vandry"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("vandry.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Skyvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SKYVANE_VERSION));
    setGuiFrontend(frontend);

    QTranslator ownTranslator;
    QTranslator qtTranslator;
    installTranslator(ownTranslator, QStringLiteral("skyvane_"));
    installTranslator(qtTranslator, QStringLiteral("qt_"));

    const std::unique_ptr<LogSink> log = startLog(options);
    qCInfo(lcApp).noquote() << QStringLiteral(
        "----------------- Program start -------------------");
    Common settings;
    for (const QString& problem : settings.readSettings())
        reportError(Startup::tr("Proxy Error"), problem);

    warnOfUnknownArguments(options.unknown);

    std::variant<CheckPlan, int> plan = followSwitches(options, settings);
    if (const int* exitCode = std::get_if<int>(&plan))
        return *exitCode;
    const CheckPlan& check = std::get<CheckPlan>(plan);
    // A window is out of the question before any work starts.
    if (!consoleMode && !isGuiApplication()) {
        const QString message = Startup::tr("No desktop is available to show Skyvane's window. "
                                            " Use /c for the console report.");
        reportError(Startup::tr("No Desktop"), message);
        return settings.status != StatusCode::NoError ? exitCodeOf(settings.status)
                                                      : noDesktopExitCode;
    }
    // A list on this machine is read also where there is no network (an air-gapped server).
    if (isWebAddress(settings.patchListUrl) && !isNetworkAvailable())
        reportOfflineMachine(settings);
    const int exitCode =
        fleet ? runFleet(options.exports, *check.format, check.rules, check.now, settings)
              : checkMachine(options, check, consoleMode, frontend, settings);
    // The time budget holds to the process's end: nothing waits for a reply
    // or a name lookup that the retrieval cut off.
    if (settings.networkWorkAbandoned)
        endProcessNow(exitCode);
    return exitCode;
}
