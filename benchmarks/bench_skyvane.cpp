// Speed and memory of discovery, parsing, comparison and a whole console run
// on generated large inputs. Run: build/benchmarks/skyvane_benchmarks

#include "core/common.h"
#include "generatedmachine.h"
#include "measured.h"
#include "products/quorixconfig.h"
#include "registry/registryfile.h"
#include "update/availability.h"
#include "update/patchlist.h"

#include <QStandardPaths>
#include <QtTest>

class BenchSkyvane : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readMachineExport();
    void discovery();
    void parsePatchList();
    void availablePatches();
    void wholeConsoleRun_data();
    void wholeConsoleRun();
    void fleetOfThousand_data();
    void fleetOfThousand();

private:
    void installMachine();

    QTemporaryDir dir;
    QByteArray machine;
    QByteArray patchList;
    QList<VersionPatches> masterList;
    std::unique_ptr<RegistryStore> store; // the machine, read
    double consoleFleetCpuMs = 0;         // of the console table, once measured
};

void BenchSkyvane::initTestCase()
{
    QVERIFY(dir.isValid());
    if (qEnvironmentVariableIsSet("SKYVANE_KEEP_INPUTS")) { // for profiling by hand
        dir.setAutoRemove(false);
        qInfo("inputs kept in %s", qPrintable(dir.path()));
    }
    machine = Generated::bigMachine(dir.filePath("install"));
    patchList = Generated::bigPatchList();
    QFile machineFile(dir.filePath("big.reg"));
    QVERIFY(machineFile.open(QIODevice::WriteOnly));
    machineFile.write(machine);
    QFile listFile(dir.filePath("patches.json"));
    QVERIFY(listFile.open(QIODevice::WriteOnly));
    listFile.write(patchList);
    qInfo("machine export: %lld bytes; patch list: %lld bytes", qint64(machine.size()),
          qint64(patchList.size()));
    masterList = parsePatchListText(QString::fromLatin1(patchList));
}

void BenchSkyvane::installMachine()
{
    RegistryFileResult result = parseRegistryExport(machine);
    QVERIFY(result.ok());
    store = std::move(result).value();
}

void BenchSkyvane::readMachineExport()
{
    QBENCHMARK
    {
        RegistryFileResult result = parseRegistryExport(machine);
        QVERIFY(result.ok());
    }
}

void BenchSkyvane::discovery()
{
    InstalledSoftware software;
    QBENCHMARK
    {
        installMachine(); // a new store: no index carried over
        software = discoverInstalledSoftware(*store);
    }
    QCOMPARE(software.products.size(), 13);
    QCOMPARE(software.patches.size(), 300);
}

void BenchSkyvane::parsePatchList()
{
    const QString text = QString::fromLatin1(patchList);
    QBENCHMARK
    {
        const QList<VersionPatches> list = parsePatchListText(text);
        QCOMPARE(list.size(), 40);
    }
}

void BenchSkyvane::availablePatches()
{
    installMachine();
    const InstalledSoftware software = discoverInstalledSoftware(*store);
    QList<PublishedPatch> available;
    QBENCHMARK
    {
        available = computeAvailablePatches(masterList, software.versions, software.products,
                                            software.patches);
    }
    qInfo("available: %lld", qint64(available.size()));
    QVERIFY(!available.isEmpty());
}

void BenchSkyvane::wholeConsoleRun_data()
{
    QTest::addColumn<int>("patchesPerVersion");
    QTest::newRow("5 MB list") << 500;
    QTest::newRow("30 MB list") << 3200;
}

// The program itself, as an administrator runs it: /c against the loopback
// patch server in a process of its own. Goals: peak resident memory at most
// 40 MiB plus 1.5 times the list, and no more CPU time than starting the
// program (/h) and checking the list with jq together.
void BenchSkyvane::wholeConsoleRun()
{
    QFETCH(int, patchesPerVersion);
    if (!QFileInfo::exists("/usr/bin/time") || QStandardPaths::findExecutable("jq").isEmpty())
        QSKIP("needs GNU time and jq (run scripts/setup.sh)");
    const QByteArray list = Generated::bigPatchList(40, patchesPerVersion);
    const QString listFile = dir.filePath("list.json");
    QFile file(listFile);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(list) == list.size());
    file.close();

    QProcess server;
    const QString portFile = dir.filePath("port");
    QFile::remove(portFile);
    server.start(QStringLiteral(SKYVANE_PATCHSERVER), {dir.path(), portFile});
    QVERIFY(server.waitForStarted());
    QTRY_VERIFY(QFileInfo(portFile).size() > 0);
    QFile port(portFile);
    QVERIFY(port.open(QIODevice::ReadOnly));
    const QString url =
        "http://127.0.0.1:" + QString::fromLatin1(port.readAll().trimmed()) + "/list.json";

    const QString config = dir.filePath("config");
    const Measured run =
        timed({SKYVANE_BINARY, "/c", "/r", dir.filePath("big.reg"), "/u", url}, 10, config);
    const Measured start = timed({SKYVANE_BINARY, "/h"}, 20, config);
    const Measured jq = timed({"jq", "empty", listFile}, 10, config);
    server.kill();
    server.waitForFinished();

    const double listMiB = double(list.size()) / (1024 * 1024);
    const double peakMiB = double(run.peakKb) / 1024;
    const double memoryGoal = 40 + 1.5 * listMiB;
    const double cpuRatio = run.cpuMs / (start.cpuMs + jq.cpuMs);
    qInfo("list %.1f MiB: whole /c run %.0f ms wall, %.0f ms CPU, peak %.1f MiB (goal %.1f); "
          "/h %.0f ms CPU, jq %.0f ms CPU; run / (/h + jq) = %.2f (goal 1.00)",
          listMiB, run.wallMs, run.cpuMs, peakMiB, memoryGoal, start.cpuMs, jq.cpuMs, cpuRatio);
    QVERIFY(run.peakKb > 0);
    QVERIFY2(peakMiB <= memoryGoal, "peak memory over the goal");
    QVERIFY2(cpuRatio <= 1.0, "CPU time over the goal");
}

void BenchSkyvane::fleetOfThousand_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("console") << QString();
    QTest::newRow("html") << "html";
    QTest::newRow("json") << "json";
}

// A fleet of 1,000 big machines (1 GB of exports) against the 5 MB list, in
// each format: a peak below 200 MiB, and the JSON document at most 1.1 times
// the console table's CPU time. (Wall time goals: skyvane_export_benchmarks.)
void BenchSkyvane::fleetOfThousand()
{
    QFETCH(QString, format);
    if (!QFileInfo::exists("/usr/bin/time"))
        QSKIP("needs GNU time (run scripts/setup.sh)");
    constexpr int machines = 1000;
    const QString fleet = dir.filePath("fleet");
    if (!QFileInfo::exists(fleet)) {
        QVERIFY(QDir().mkpath(fleet));
        for (int i = 0; i < machines; ++i) {
            QFile one(
                QStringLiteral("%1/server-%2.reg").arg(fleet).arg(i, 4, 10, QLatin1Char('0')));
            QVERIFY(one.open(QIODevice::WriteOnly) && one.write(machine) == machine.size());
        }
    }
    const QString config = dir.filePath("config");
    const QStringList list{"/u", dir.filePath("patches.json")};
    const QStringList mode = format.isEmpty() ? QStringList{"/c"} : QStringList{"/f", format};
    Measured all =
        timed(QStringList{SKYVANE_BINARY} + mode + QStringList{"/r", fleet} + list, 1, config);
    qInfo("%d machines: %.0f ms wall, %.0f ms CPU, peak %.1f MiB (goal 200)", machines, all.wallMs,
          all.cpuMs, double(all.peakKb) / 1024);
    QVERIFY(all.peakKb > 0);
    QVERIFY2(all.peakKb < 200 * 1024, "peak memory over the goal");
    if (format.isEmpty())
        consoleFleetCpuMs = all.cpuMs;
    if (format == QLatin1String("json") && consoleFleetCpuMs > 0) {
        // Measured again right after the console table, so that a machine
        // busy for a while weighs on both alike; the lower of each counts.
        const Measured console =
            timed(QStringList{SKYVANE_BINARY, "/c", "/r", fleet} + list, 1, config);
        const Measured again =
            timed(QStringList{SKYVANE_BINARY} + mode + QStringList{"/r", fleet} + list, 1, config);
        consoleFleetCpuMs = std::min(consoleFleetCpuMs, console.cpuMs);
        all.cpuMs = std::min(all.cpuMs, again.cpuMs);
        const double againstConsole = all.cpuMs / consoleFleetCpuMs;
        qInfo("/f json: %.0f ms CPU, the console table %.0f ms: ratio %.2f (goal 1.10)", all.cpuMs,
              consoleFleetCpuMs, againstConsole);
        QVERIFY2(againstConsole <= 1.1, "JSON fleet slower than the goal");
    }
}

QTEST_GUILESS_MAIN(BenchSkyvane)
#include "bench_skyvane.moc"
