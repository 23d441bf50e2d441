#include "fleet.h"

#include "check.h"
#include "runretrieval.h"
#include "runstatus.h"
#include "verdictswitches.h"

#include "core/common.h"
#include "core/console.h"
#include "core/logger.h"
#include "messages.h"
#include "products/discoveryexport.h"
#include "products/quorixconfig.h"
#include "registry/registryfile.h"
#include "report/reportformat.h"
#include "report/systemevents.h"
#include "update/quorixupdate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>
#include <vector>

namespace {
// The translation context of this file's texts.
struct FleetRun
{
    Q_DECLARE_TR_FUNCTIONS(FleetRun)
};
} // namespace

QList<FleetEntry> fleetEntries(const QStringList& given)
{
    QList<FleetEntry> entries;
    QSet<QByteArray> seen; // the same file given twice is one machine, by its path's bytes
    const auto add = [&](const QByteArray& identity, const FleetEntry& entry) {
        if (!seen.contains(identity)) {
            seen.insert(identity);
            entries.append(entry);
        }
    };
    for (const QString& path : given) {
        const QFileInfo info(path);
        const QByteArray canonical =
            QFile::encodeName(info.exists() ? info.canonicalFilePath() : path);
        if (!info.isDir()) {
            add(canonical, {LocalPath(path), QString()});
            continue;
        }
        const Result<QList<LocalPath>> listing =
            listFolder(LocalPath(path), QStringLiteral(".reg"));
        if (!listing.ok()) {
            add(canonical,
                {LocalPath(path),
                 FleetRun::tr("the folder cannot be read: %1").arg(listing.errorString()), true});
            continue;
        }
        if (listing.value().isEmpty())
            add(canonical, {LocalPath(path),
                            FleetRun::tr("the folder holds no registry exports (*.reg)"), true});
        for (const LocalPath& entry : listing.value()) {
            const QByteArray native = entry.native();
            add(canonical + native.mid(native.lastIndexOf('/')), {entry, QString()});
        }
    }
    return entries;
}

bool isFleet(const QStringList& given)
{
    return given.size() > 1 || (given.size() == 1 && QFileInfo(given.first()).isDir());
}

namespace {
// The machines' texts, kept in a temporary file until the head is known.
class Spool
{
public:
    using Parts = QList<std::pair<qint64, qint64>>; // offset and size of each part

    bool open() { return file.open(); }
    QString errorString() const { return file.errorString(); }
    bool failed() const { return writeFailed; }

    Parts append(const QList<QByteArray>& parts)
    {
        const QMutexLocker lock(&mutex);
        Parts placed;
        for (const QByteArray& part : parts) {
            placed.append({end, part.size()});
            writeFailed = writeFailed || file.write(part) != part.size();
            end += part.size();
        }
        return placed;
    }
    // Writes a part to the console in pieces, so that no copy of a whole
    // part is made, however large a machine's text.
    void writeToConsole(std::pair<qint64, qint64> part)
    {
        constexpr qint64 piece = 32 * 1024;
        QStringDecoder decoder(QStringDecoder::Utf8); // holds a character cut in two
        if (!file.seek(part.first))
            return;
        for (qint64 left = part.second; left > 0; left -= piece) {
            const QByteArray bytes = file.read(std::min(piece, left));
            if (bytes.isEmpty())
                return;
            writeConsole(decoder.decode(bytes));
        }
    }

private:
    QTemporaryFile file;
    QMutex mutex;
    qint64 end = 0;
    bool writeFailed = false;
};

struct FleetMachine
{
    QString name;
    FleetEntry entry;
    FleetRow row;
    Spool::Parts parts;
};

// Machines are named after their files (a folder that gave none after the
// folder); a name that an earlier machine has goes by the path instead, and
// one still taken (names that differ only in bytes that are no UTF-8) gets a
// number.
QList<FleetMachine> namedMachines(const QList<FleetEntry>& entries)
{
    QList<FleetMachine> machines;
    QSet<QString> names;
    for (const FleetEntry& entry : entries) {
        const QString shown = entry.path.shown();
        const QFileInfo info(shown);
        QString name = entry.folder ? info.fileName() : info.completeBaseName();
        if (name.isEmpty() || names.contains(name))
            name = shown;
        for (int n = 2; names.contains(name); ++n)
            name = QStringLiteral("%1 (%2)").arg(shown).arg(n);
        names.insert(name);
        machines.append({name, entry, {}, {}});
    }
    return machines;
}

struct FleetCheck
{
    const QuorixUpdate& update;
    StatusCode status; // the run's, once the list is fetched
    VerdictRules rules;
    QDateTime now;
    const ReportFormat& format;
    Spool& spool;

    // On a worker thread: discovers the machine, checks it and spools its text.
    void run(FleetMachine& machine, int index) const
    {
        InstalledSoftware software;
        Result<DiscoveryExport, RegistryFileError> loaded =
            machine.entry.error.isEmpty() ? loadExportForDiscovery(machine.entry.path)
                                          : failure(RegistryFileError{0, machine.entry.error});
        const bool read = loaded.ok();
        if (read) {
            software = discoverInstalledSoftware(*loaded.value().store);
            loaded.value().store.reset();
        }
        CheckResult result = makeCheckResult(update, software, machine.name, rules, now, status);
        if (read)
            result.exported = loaded.value().facts;
        else {
            result.exportError = registryFileErrorText(machine.entry.path.shown(), loaded.error());
            result.status = StatusCode::ConfigurationReadError;
            qCCritical(lcApp).noquote() << result.exportError;
        }
        machine.row = fleetRow(result, index);
        machine.parts = spool.append(format.fleetMachineParts(result, machine.row));
    }
};

// The run's own workers, one per core, each taking the next machine until
// none is left, all joined before the machines are read: each writes only the
// entries it took, and the list is not touched meanwhile.
void checkOnAllCores(const FleetCheck& check, QList<FleetMachine>& machines)
{
    FleetMachine* const entries = machines.data();
    const qsizetype count = machines.size();
    std::atomic<qsizetype> next{0};
    // What the workers wrote is handed to this thread here, visibly to a
    // thread sanitizer (QThread::wait() synchronises inside Qt, out of its sight).
    std::atomic<qsizetype> finished{0};
    const auto work = [&] {
        for (qsizetype i = next++; i < count; i = next++)
            check.run(entries[i], int(i + 1));
        finished.fetch_add(1, std::memory_order_release);
    };
    const qsizetype cores = std::max(1, QThread::idealThreadCount());
    std::vector<std::unique_ptr<QThread>> workers;
    for (qsizetype n = 0; n < std::min(cores, count); ++n) {
        workers.emplace_back(QThread::create(work));
        workers.back()->start();
    }
    for (const std::unique_ptr<QThread>& worker : workers)
        worker->wait();
    (void)finished.load(std::memory_order_acquire); // every worker has ended: its writes are ours
}

void writeFleet(const ReportFormat& format, const QList<FleetMachine>& machines,
                const QList<FleetRow>& rows, const CheckResult& anyResult, Spool& spool)
{
    QByteArray text;
    format.writeFleetHead(rows, anyResult, text);
    const QList<FleetRow> order = format.listsWorstFirst() ? worstFirst(rows) : rows;
    const qsizetype parts = machines.isEmpty() ? 0 : machines.first().parts.size();
    for (qsizetype part = 0; part < parts; ++part) {
        format.writePartHead(int(part), anyResult, text);
        for (const FleetRow& row : order) {
            if (row.index != order.first().index)
                format.writeSeparator(text);
            writeConsole(QString::fromUtf8(text));
            text.clear();
            spool.writeToConsole(machines.at(row.index - 1).parts.at(part));
        }
    }
    format.writeFleetTail(text);
    writeConsole(QString::fromUtf8(text));
}

// A fleet run that cannot start or finish: the message, and the exit code.
int failedRun(const QString& title, const QString& message)
{
    reportError(title, message);
    return int(StatusCode::ConfigurationReadError);
}
} // namespace

int runFleet(const QStringList& given, const ReportFormat& format, const VerdictRules& rules,
             const QDateTime& now, Common& settings)
{
    QList<FleetMachine> machines = namedMachines(fleetEntries(given));
    Spool spool;
    const auto spoolError = [&spool] {
        return failedRun(FleetRun::tr("File Error"),
                         FleetRun::tr("The fleet's report cannot be kept in a temporary file: %1")
                             .arg(spool.errorString()));
    };
    if (!spool.open())
        return spoolError();
    qCInfo(lcApp).noquote() << QStringLiteral("Reading %1 registry exports").arg(machines.size());
    // Every version is kept: the machines' versions are known only once all are read.
    RunRetrievalHost host(settings);
    const std::optional<ListCacheUse> cache = listCacheOfRun(settings, now);
    const QuorixUpdate update =
        QuorixUpdate::retrieve(settings.patchListUrl, host, std::nullopt,
                               settings.retrievalBudgetSeconds, cache ? &*cache : nullptr);
    const FleetCheck check{update, settings.status, rules, now, format, spool};
    checkOnAllCores(check, machines);

    QList<FleetRow> rows;
    bool anyUnreadable = false;
    QList<int> acknowledgementsUsed;
    for (const FleetMachine& machine : machines) {
        rows << machine.row;
        anyUnreadable = anyUnreadable || !machine.row.exportError.isEmpty();
        acknowledgementsUsed += machine.row.acknowledgementsUsed;
    }
    if (update.listState() == ListState::Ok)
        reportUnusedAcknowledgements(rules, acknowledgementsUsed);
    if (spool.failed())
        return spoolError();
    const CheckResult anyResult =
        makeCheckResult(update, InstalledSoftware(), QString(), rules, check.now, settings.status);
    writeFleet(format, machines, rows, anyResult, spool);
    writeSystemEvent(fleetEvent(rows, anyResult));
    const int runExitCode = settings.status != StatusCode::NoError ? exitCodeOf(settings.status)
                            : anyUnreadable ? int(StatusCode::ConfigurationReadError)
                                            : 0;
    return format.exitsWithCheckState() ? int(worstState(rows)) : runExitCode;
}
