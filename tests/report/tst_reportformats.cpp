// The formats /f names: one table of them, the one the README and the usage
// error list, and the three machine-readable ones of real runs read by their
// real consumers (JSON Schema, promtool, jq), agreeing with each other
// whatever the patch list holds.

#include "fakeproduct.h"
#include "patchserver.h"
#include "programrun.h"
#include "report/reportformats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TestReportFormats : public QObject
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

    // What users read of the formats is what the table holds.
    void theTableIsTheListUsersRead()
    {
        const QStringList names = reportFormatNames();
        QFile readme(QStringLiteral(SKYVANE_SOURCE_DIR "/README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(readme.readAll()).contains("[/f " + names.join('|') + "]"));
        for (const QString& name : names)
            QVERIFY2(reportFormatNamed(name.toUpper()), qPrintable(name));
        const ProgramRun unknown = runProgram(config.path(), {"/f", "xml", "/u", "/nonexistent"});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY2(unknown.err.contains(names.mid(0, names.size() - 1).join(", ")),
                 qPrintable(unknown.err));
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
        QTest::newRow("acknowledged, one of them expired")
            << "/sky_vane/patches.json"
            << (example + QStringList{"/ack", "examples/acknowledged.ini"}) << 0;
        QTest::newRow("fleet, thresholds set")
            << "/sky_vane/patches.json"
            << QStringList{"/r", "examples/fleet", "/securityonly", "/count", "2,3", "/age", ",30"}
            << 1;
        QTest::newRow("fleet, since an earlier report")
            << "/sky_vane/patches.json"
            << QStringList{"/r", "examples/fleet", "/since", "tests/data/previous-fleet.json"} << 1;
        QTest::newRow("the server down, the list kept 5 hours ago stands in")
            << "/flaky.json" << QStringList{"/r", "examples/fleet", "/listcache", "24"} << 3;
    }
    void formatsAgreeAndTheirConsumersReadThem()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, exports);
        QFETCH(int, exitCode);
        const QStringList check = exports + QStringList{"/u", server.url(path)};
        if (path == "/flaky.json") {
            QFile list(QStringLiteral(SKYVANE_SOURCE_DIR "/examples/server/sky_vane/patches.json"));
            QVERIFY(list.open(QIODevice::ReadOnly));
            server.setResponse(path, PatchServer::Response::with(200, list.readAll()));
            QCOMPARE(runProgram(config.path(), QStringList{"/f", "json"} + check,
                                {"SKYVANE_NOW=2026-12-06T07:00:00Z"})
                         .exitCode,
                     1);
            server.setResponse(path, PatchServer::Response::with(503));
        }
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
        int exported = 0; // machines read from an export, whose age every output tells
        int changed = 0;  // machines compared with an earlier report, each told in every output
        const int fleetChanged = report.contains("machines") && report.contains("changes");
        for (const QJsonValue machine : machines) {
            exported += machine.toObject().contains("export");
            changed += machine.toObject().contains("changes");
            for (const QJsonValue product : machine["products"].toArray())
                listed += int(product["missing"].toArray().size());
            missing += machine["counts"]["missing"].toInt();
        }
        // A fleet's check has a line per machine before the machine's patches.
        const int machineLines = report.contains("machines") ? int(machines.size()) : 0;
        QCOMPARE(nagios.out.count('\n'),
                 1 + machineLines + missing + exported + changed + fleetChanged);
        QCOMPARE(nagios.out.count("Since "), changed + fleetChanged);
        QCOMPARE(metrics.out.count("\nskyvane_changes{"), 4 * changed);
        QCOMPARE(nagios.out.count("Export: "), exported);
        QCOMPARE(metrics.out.count("\nskyvane_export_age_seconds"), exported);
        QVERIFY(!nagios.out.section('\n', 1).contains('|')); // no performance data there
        QVERIFY(nagios.out.contains(QStringLiteral(" missing=%1;").arg(missing)) ||
                nagios.out.contains(QStringLiteral("|missing=%1;").arg(missing)));
        int counted = 0;
        for (const QString& line : metrics.out.split('\n'))
            counted +=
                line.startsWith("skyvane_missing_patches{") ? line.section(' ', -1).toInt() : 0;
        QCOMPARE(counted, listed);
        // Each tells alike how old the list is, and whether the cache's copy stood in.
        const qint64 age = machines.first()["list"]["ageSeconds"].toInteger();
        QCOMPARE(machines.first()["list"]["cached"].toBool(), path == "/flaky.json");
        QCOMPARE(metrics.out.count(QRegularExpression(
                     QStringLiteral("\nskyvane_list_age_seconds({[^}]*})? %1\n").arg(age))),
                 machines.size());
        const auto judged =
            std::count_if(machines.begin(), machines.end(),
                          [](const QJsonValue& m) { return m["state"].toString() != "unknown"; });
        QCOMPARE(nagios.out.count(QStringLiteral("list from cache, %1 hours old").arg(age / 3600)),
                 age > 0 ? judged : 0);
    }
};

QTEST_GUILESS_MAIN(TestReportFormats)
#include "tst_reportformats.moc"
