#include "fleet.h"

#include "common.h"
#include "consolereport.h"
#include "logger.h"
#include "machineoutput.h"
#include "messages.h"
#include "registry/registryfile.h"
#include "update/quorixupdate.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QSet>
#include <QThreadPool>

#include <algorithm>

QStringList fleetExportFiles(const QStringList& given)
{
    QStringList files;
    for (const QString& path : given) {
        if (!QFileInfo(path).isDir()) {
            files << path;
            continue;
        }
        const QDir folder(path);
        const QStringList names =
            folder.entryList({QStringLiteral("*.reg")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString& name : names)
            files << folder.filePath(name);
    }
    return files;
}

bool isFleet(const QStringList& given)
{
    return given.size() > 1 || (given.size() == 1 && QFileInfo(given.first()).isDir());
}

namespace {
FleetMachine discoverMachine(const QString& file)
{
    FleetMachine machine{QFileInfo(file).completeBaseName(), file, QString(), {}};
    RegistryFileResult loaded = loadRegistryExport(file);
    if (!loaded.store) {
        machine.exportError = registryFileErrorText(file, loaded.error);
        Logger::instance()->log(LogLevel::Error, machine.exportError);
        return machine;
    }
    // The folders an export names are on the machine that wrote it.
    loaded.store->setOfAnotherMachine(true);
    setRegistry(std::move(loaded.store));
    machine.software = discoverInstalledSoftware();
    releaseRegistry();
    return machine;
}

int severity(CheckState state)
{
    switch (state) {
    case CheckState::Ok:
        return 0;
    case CheckState::Warning:
        return 1;
    case CheckState::Unknown:
        return 2;
    case CheckState::Critical:
        return 3;
    }
    return 0;
}
} // namespace

std::vector<FleetMachine> discoverFleet(const QStringList& files)
{
    std::vector<FleetMachine> machines(size_t(files.size()));
    QThreadPool pool;
    for (qsizetype i = 0; i < files.size(); ++i)
        pool.start([&machines, &files, i] { machines[size_t(i)] = discoverMachine(files.at(i)); });
    pool.waitForDone();
    // Two folders may hold exports of the same name: the later ones go by their path.
    QSet<QString> names;
    for (FleetMachine& machine : machines) {
        if (names.contains(machine.name))
            machine.name = machine.file;
        names.insert(machine.name);
    }
    return machines;
}

QStringList fleetColumnTitles()
{
    return {QObject::tr("Machine"),  QObject::tr("Products"),      QObject::tr("Missing"),
            QObject::tr("Security"), QObject::tr("Oldest (days)"), QObject::tr("State")};
}

QStringList fleetRowCounts(const CheckResult& result)
{
    const QString none = QStringLiteral("-");
    if (!result.exportError.isEmpty())
        return {none, none, none, none};
    const std::optional<qint64> oldest = result.oldestAgeDays();
    return {QString::number(result.products.size()), QString::number(result.missing.size()),
            QString::number(result.securityCount()), oldest ? QString::number(*oldest) : none};
}

QString fleetListLine(const CheckResult& anyResult)
{
    return QObject::tr("Checked %1 UTC against the patch list %2 (%3).")
        .arg(anyResult.checkedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm")), anyResult.listSource,
             listStateName(anyResult.listState));
}

QString machineStateText(const CheckResult& result)
{
    switch (machineCheck(result).state) {
    case CheckState::Unknown:
        return result.exportError.isEmpty() ? QObject::tr("no patch list")
                                            : QObject::tr("export unreadable");
    case CheckState::Critical:
        return QObject::tr("security updates missing");
    case CheckState::Warning:
        return QObject::tr("updates missing");
    case CheckState::Ok:
        break;
    }
    if (result.products.isEmpty())
        return QObject::tr("no products");
    return result.missing.isEmpty() ? QObject::tr("up to date") : QObject::tr("in grace period");
}

CheckState worstState(const QList<CheckResult>& results)
{
    CheckState worst = CheckState::Ok;
    for (const CheckResult& result : results) {
        const CheckState state = machineCheck(result).state;
        if (severity(state) > severity(worst))
            worst = state;
    }
    return worst;
}

QList<CheckResult> worstFirst(QList<CheckResult> results)
{
    std::stable_sort(results.begin(), results.end(),
                     [](const CheckResult& a, const CheckResult& b) {
                         const int left = severity(machineCheck(a).state);
                         const int right = severity(machineCheck(b).state);
                         if (left != right)
                             return left > right;
                         if (a.missing.size() != b.missing.size())
                             return a.missing.size() > b.missing.size();
                         return a.machine < b.machine;
                     });
    return results;
}

int runFleet(const QStringList& given, const QString& format, int graceDays)
{
    Common* common = Common::instance();
    const QStringList files = fleetExportFiles(given);
    if (files.isEmpty()) {
        const QString message = QObject::tr("No registry exports (*.reg) were found in %1.")
                                    .arg(given.join(QStringLiteral(", ")));
        Logger::instance()->log(LogLevel::Error, message);
        showCriticalMessage(QObject::tr("Registry Error"), message, nullptr);
        return int(StatusCode::ConfigurationReadError);
    }
    Logger::instance()->log(LogLevel::Info,
                            QStringLiteral("Reading %1 registry exports").arg(files.size()));
    const std::vector<FleetMachine> machines = discoverFleet(files);
    QStringList versions;
    for (const FleetMachine& machine : machines) {
        for (const QString& version : machine.software.versions) {
            if (!versions.contains(version))
                versions << version;
        }
    }
    const QuorixUpdate update(common->patchListUrl, versions);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<CheckResult> results;
    bool anyUnreadable = false;
    for (const FleetMachine& machine : machines) {
        CheckResult result =
            makeCheckResult(update, machine.software, machine.name, graceDays, now);
        if (!machine.exportError.isEmpty()) {
            result.exportError = machine.exportError;
            result.status = StatusCode::ConfigurationReadError;
            anyUnreadable = true;
        }
        results << result;
    }
    const int exitCode = common->status != StatusCode::NoError ? common->exitCode()
                         : anyUnreadable ? int(StatusCode::ConfigurationReadError)
                                         : 0;
    if (format.isEmpty()) {
        printFleetReport(results);
        return exitCode;
    }
    return writeMachineOutput(format, results, true, exitCode);
}
