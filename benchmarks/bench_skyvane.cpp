// Speed and memory of discovery, parsing, comparison and a whole console run
// on generated large inputs. Run: build/benchmarks/skyvane_benchmarks

#include "app/common.h"
#include "generatedmachine.h"
#include "products/quorixconfig.h"
#include "registry/registryfile.h"
#include "update/availability.h"
#include "update/patchlist.h"

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
    void wholeConsoleRun();
    void hundredMegabyteExport();

private:
    void installMachine();

    QTemporaryDir dir;
    QByteArray machine;
    QByteArray patchList;
    QList<VersionPatches> masterList;
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
    QVERIFY(result.store);
    setRegistry(std::move(result.store));
    QuorixConfig::instance()->resetForTesting();
}

void BenchSkyvane::readMachineExport()
{
    QBENCHMARK
    {
        RegistryFileResult result = parseRegistryExport(machine);
        QVERIFY(result.store);
    }
}

void BenchSkyvane::discovery()
{
    installMachine();
    QBENCHMARK
    {
        QuorixConfig::instance()->resetForTesting();
        setRegistry(parseRegistryExport(machine).store); // a new store: no index carried over
        QuorixConfig::instance()->init();
    }
    QCOMPARE(QuorixConfig::instance()->installedProducts().size(), 13);
    QCOMPARE(QuorixConfig::instance()->installedPatches().size(), 300);
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
    QuorixConfig::instance()->init();
    QuorixConfig* config = QuorixConfig::instance();
    QList<PublishedPatch> available;
    QBENCHMARK
    {
        available =
            computeAvailablePatches(masterList, config->installedVersions(),
                                    config->installedProducts(), config->installedPatches());
    }
    qInfo("available: %lld", qint64(available.size()));
    QVERIFY(!available.isEmpty());
}

// The program itself, as an administrator runs it: /c against the loopback
// patch server in a process of its own. GNU time reports the program's peak
// memory: it starts the program from its own small process, so the peak is
// the program's alone (a child of this large process would inherit its size
// in the kernel's accounting).
void BenchSkyvane::wholeConsoleRun()
{
    const QString gnuTime = QStringLiteral("/usr/bin/time");
    if (!QFileInfo::exists(gnuTime))
        QSKIP("needs GNU time (run scripts/setup.sh)");
    QProcess server;
    const QString portFile = dir.filePath("port");
    server.start(QStringLiteral(SKYVANE_PATCHSERVER), {dir.path(), portFile});
    QVERIFY(server.waitForStarted());
    QTRY_VERIFY(QFileInfo(portFile).size() > 0);
    QFile port(portFile);
    QVERIFY(port.open(QIODevice::ReadOnly));
    const QString url =
        "http://127.0.0.1:" + QString::fromLatin1(port.readAll().trimmed()) + "/patches.json";

    qint64 best = std::numeric_limits<qint64>::max();
    qint64 peakKb = 0;
    for (int run = 0; run < 5; ++run) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        program.setProcessEnvironment(env);
        program.setStandardOutputFile(QProcess::nullDevice());
        // Wall time in seconds and peak resident memory in KB, measured by time itself.
        program.start(gnuTime, {"-f", "%e %M", QStringLiteral(SKYVANE_BINARY), "/c", "/r",
                                dir.filePath("big.reg"), "/u", url});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        const QList<QByteArray> lines = program.readAllStandardError().trimmed().split('\n');
        const QList<QByteArray> fields = lines.last().split(' ');
        QCOMPARE(fields.size(), 2);
        best = qMin(best, qint64(fields.at(0).toDouble() * 1000 + 0.5));
        peakKb = qMax(peakKb, fields.at(1).toLongLong());
    }
    qInfo("whole console run: best of 5 %lld ms, peak resident memory %lld MB", best,
          peakKb / 1024);
    server.kill();
    server.waitForFinished();
}

void BenchSkyvane::hundredMegabyteExport()
{
    QByteArray big = Generated::bigMachine(dir.filePath("install"), 540000, 300);
    qInfo("large export: %lld MB", qint64(big.size() / (1024 * 1024)));
    QElapsedTimer clock;
    clock.start();
    RegistryFileResult result = parseRegistryExport(big);
    QVERIFY(result.store);
    qInfo("read in %lld ms", clock.elapsed());
}

QTEST_GUILESS_MAIN(BenchSkyvane)
#include "bench_skyvane.moc"
