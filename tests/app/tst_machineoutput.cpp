// The outputs of /f: the check's states by the Monitoring Plugins rules, and
// the three formats of real runs read by their real consumers (JSON Schema,
// promtool), agreeing with each other whatever the patch list holds.

#include "fakeproduct.h"
#include "patchserver.h"
#include "programrun.h"
#include "report/machineoutput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TestMachineOutput : public QObject
{
    Q_OBJECT

    PatchServer server;
    QTemporaryDir config;

    // What a consumer of an output said of it, by its exit code and both of
    // its channels: nothing when it was content.
    static QString consumer(const QString& program, const QStringList& arguments,
                            const QByteArray& input)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        process.write(input);
        process.closeWriteChannel();
        const bool ended = process.waitForFinished(60000);
        if (ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return QString();
        return QStringLiteral("%1 %2: exit %3 (%4): %5")
            .arg(program, arguments.join(' '), QString::number(process.exitCode()),
                 process.errorString(), QString::fromUtf8(process.readAll()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.listen());
        server.serveDirectory(QStringLiteral(SKYVANE_SOURCE_DIR "/examples/server"));
        QFile hostile(QStringLiteral(SKYVANE_TEST_DATA "/hostile-list.json"));
        QVERIFY(hostile.open(QIODevice::ReadOnly));
        server.setResponse("/hostile.json", PatchServer::Response::with(200, hostile.readAll()));
    }

    void nagiosStates_data()
    {
        // Security flag and age in days per patch ("s45 n3 s?"; "s-1": released
        // a day ahead of the check, "?": no release date).
        QTest::addColumn<QString>("missing");
        QTest::addColumn<int>("grace");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("exitCode");
        // The status line: the state and summary, then "missing security oldest" as
        // performance data.
        const auto row = [](const char* name, const char* missing, int grace, int status,
                            const QString& summary, const QString& counts, int exitCode) {
            const QStringList c = counts.split(' ');
            QTest::newRow(name) << QString(missing) << grace << status
                                << summary + QStringLiteral("|missing=%1;;;0 security=%2;;;0 "
                                                            "oldest_days=%3;;;0")
                                                 .arg(c[0], c[1], c[2])
                                << exitCode;
        };
        row("nothing missing", "", 0, 0, "OK - no updates missing", "0 0 0", 0);
        row("only others missing", "n10", 0, 0,
            "WARNING - 1 update missing (0 security, oldest 10 days)", "1 0 10", 1);
        row("a security patch missing", "n3 s45", 0, 0,
            "CRITICAL - 2 updates missing (1 security, oldest 45 days)", "2 1 45", 2);
        row("young patches within grace", "s5 n6", 7, 0,
            "OK - 2 updates missing (1 security, oldest 6 days)", "2 1 6", 0);
        row("one day old", "n1", 0, 0, "WARNING - 1 update missing (0 security, oldest 1 day)",
            "1 0 1", 1);
        row("grace ends on its last day", "s7", 7, 0,
            "CRITICAL - 1 update missing (1 security, oldest 7 days)", "1 1 7", 2);
        row("released ahead of the check: age 0, no grace", "s-1", 0, 0,
            "CRITICAL - 1 update missing (1 security, oldest 0 days)", "1 1 0", 2);
        row("released ahead of the check, within grace", "s-3", 1, 0,
            "OK - 1 update missing (1 security, oldest 0 days)", "1 1 0", 0);
        row("unknown age counts", "s?", 7, 0, "CRITICAL - 1 update missing (1 security)", "1 1 0",
            2);
        row("list unreachable", "", 0, 3,
            "UNKNOWN - patch list unreachable: Network connection error.", "0 0 0", 3);
        row("invalid list", "", 0, 0, "UNKNOWN - patch list invalid", "0 0 0", 3);
        row("registry export unreadable", "", 0, 1, "UNKNOWN - registry export unreadable", "0 0 0",
            3);
    }
    void nagiosStates()
    {
        QFETCH(QString, missing);
        QFETCH(int, grace);
        QFETCH(int, status);
        QFETCH(QString, line);
        QFETCH(int, exitCode);
        FakeProduct product("10.3", {"Quorix for Server"}, "Server");
        CheckResult result;
        result.products = {&product};
        result.status = StatusCode(status);
        result.listState = status == 3 ? ListState::Unreachable
                           : QTest::currentDataTag() == QLatin1String("invalid list")
                               ? ListState::Invalid
                               : ListState::Ok;
        const QDate today(2031, 3, 1);
        const QStringList patches = missing.split(' ', Qt::SkipEmptyParts);
        for (const QString& p : patches) {
            const QString age = p.mid(1);
            const QString released =
                age == "?" ? QString() : today.addDays(-age.toInt()).toString(Qt::ISODate);
            const PublishedPatch patch{
                p,       "Quorix for Server", p.startsWith('s') ? "yes" : "no", "Windows", {}, {},
                released};
            result.missing.append(missingPatch(patch, today, grace));
        }
        const NagiosCheck check = nagiosReport(result);
        const QStringList lines = QString::fromUtf8(check.text).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), "SKYVANE " + line);
        QCOMPARE(lines.size(), 1 + patches.size()); // one line per missing patch
        QCOMPARE(check.exitCode, exitCode);
        static const QRegularExpression grammar(
            "^SKYVANE (OK|WARNING|CRITICAL|UNKNOWN) - [^|]+\\|(\\w+=\\d+;;;0 ?)+$");
        QVERIFY(grammar.match(lines.first()).hasMatch());
    }

    void formatsAgreeAndTheirConsumersReadThem_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("exports");
        QTest::addColumn<int>("exitCode"); // of json and prometheus
        const QStringList example{"/r", "examples/machine.reg"};
        QTest::newRow("example") << "/sky_vane/patches.json" << example << 0;
        QTest::newRow("control characters everywhere") << "/hostile.json" << example << 0;
        QTest::newRow("fleet") << "/sky_vane/patches.json"
                               << QStringList{"/r", "examples/fleet", "/r",
                                              "tests/data/r&d-lab.reg"}
                               << 1;
    }
    void formatsAgreeAndTheirConsumersReadThem()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, exports);
        QFETCH(int, exitCode);
        const QStringList check = exports + QStringList{"/u", server.url(path)};
        const auto output = [&](const char* format) {
            return runProgram(config.path(), QStringList{"/f", format} + check);
        };
        const ProgramRun json = output("json"), metrics = output("prometheus"),
                         nagios = output("nagios");
        QCOMPARE(json.exitCode, exitCode);
        QCOMPARE(metrics.exitCode, exitCode);
        QVERIFY(nagios.exitCode == 1 || nagios.exitCode == 2);
        const QString schema = QStringLiteral(SKYVANE_SOURCE_DIR "/docs/report.schema.json");
        QCOMPARE(consumer("python3",
                          {"-c",
                           "import json, sys, jsonschema; jsonschema.Draft202012Validator("
                           "json.load(open(sys.argv[1]))).validate(json.load(sys.stdin))",
                           schema},
                          json.out.toUtf8()),
                 QString());
        QCOMPARE(consumer("promtool", {"check", "metrics"}, metrics.out.toUtf8()), QString());
        QCOMPARE(consumer("jq", {"-e", "."}, json.out.toUtf8()), QString());
        // The queries the monitoring guide gives for fleets work on a fleet's document.
        if (json.out.contains("\"machines\":")) {
            QFile guide(QStringLiteral(SKYVANE_SOURCE_DIR "/docs/monitoring.md"));
            QVERIFY(guide.open(QIODevice::ReadOnly));
            static const QRegularExpression query("\\| jq -e '([^']+)'");
            int queries = 0;
            for (const auto& match : query.globalMatch(QString::fromUtf8(guide.readAll()))) {
                QCOMPARE(consumer("jq", {"-e", match.captured(1)}, json.out.toUtf8()), QString());
                ++queries;
            }
            QVERIFY(queries > 0);
        }
        // The same missing patches, whichever output tells them.
        const QJsonObject report = QJsonDocument::fromJson(json.out.toUtf8()).object();
        const QJsonArray machines =
            report.contains("machines") ? report["machines"].toArray() : QJsonArray{report};
        int listed = 0;
        int missing = 0;
        for (const QJsonValue machine : machines) {
            for (const QJsonValue product : machine["products"].toArray())
                listed += int(product["missing"].toArray().size());
            missing += machine["counts"]["missing"].toInt();
        }
        // A fleet's check has a line per machine before the machine's patches.
        const int machineLines = report.contains("machines") ? int(machines.size()) : 0;
        QCOMPARE(nagios.out.count('\n'), 1 + machineLines + missing);
        QVERIFY(!nagios.out.section('\n', 1).contains('|')); // no performance data there
        QVERIFY(nagios.out.contains(QStringLiteral(" missing=%1;").arg(missing)) ||
                nagios.out.contains(QStringLiteral("|missing=%1;").arg(missing)));
        int counted = 0;
        for (const QString& line : metrics.out.split('\n'))
            counted +=
                line.startsWith("skyvane_missing_patches{") ? line.section(' ', -1).toInt() : 0;
        QCOMPARE(counted, listed);
    }
};

QTEST_GUILESS_MAIN(TestMachineOutput)
#include "tst_machineoutput.moc"
