// The outputs of /f: the check's states by the Monitoring Plugins rules, and
// the three formats of real runs read by their real consumers (JSON Schema,
// promtool), agreeing with each other whatever the patch list holds.

#include "app/machineoutput.h"
#include "fakeproduct.h"
#include "patchserver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TestMachineOutput : public QObject
{
    Q_OBJECT

    PatchServer server;
    QTemporaryDir config;

    // The program's output and exit code, and what a consumer said of it.
    QPair<QByteArray, int> run(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.path());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QStringLiteral(SKYVANE_SOURCE_DIR));
        process.start(QStringLiteral(SKYVANE_BINARY), arguments);
        if (!QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 60000))
            process.kill();
        return {process.readAllStandardOutput(), process.exitCode()};
    }
    static QString consumer(const QString& program, const QStringList& arguments,
                            const QByteArray& input)
    {
        QProcess process;
        process.start(program, arguments);
        process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(60000);
        return process.exitCode() == 0 ? QString() : QString::fromUtf8(process.readAll());
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
        QTest::addColumn<QString>("missing"); // security flag and age per patch: "s45 n3 s?"
        QTest::addColumn<int>("grace");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("exitCode");
        const auto row = [](const char* name, const char* missing, int grace, int status,
                            const char* line, int exitCode) {
            QTest::newRow(name) << QString(missing) << grace << status << QString(line) << exitCode;
        };
        row("nothing missing", "", 0, 0,
            "OK - no updates missing|missing=0;;;0 security=0;;;0 oldest_days=0;;;0", 0);
        row("only others missing", "n10", 0, 0,
            "WARNING - 1 updates missing (0 security, oldest 10 days)|missing=1;;;0 security=0;;;0 "
            "oldest_days=10;;;0",
            1);
        row("a security patch missing", "n3 s45", 0, 0,
            "CRITICAL - 2 updates missing (1 security, oldest 45 days)|missing=2;;;0 "
            "security=1;;;0 oldest_days=45;;;0",
            2);
        row("young patches within grace", "s5 n6", 7, 0,
            "OK - 2 updates missing (1 security, oldest 6 days)|missing=2;;;0 security=1;;;0 "
            "oldest_days=6;;;0",
            0);
        row("unknown age counts", "s?", 7, 0,
            "CRITICAL - 1 updates missing (1 security)|missing=1;;;0 security=1;;;0 "
            "oldest_days=0;;;0",
            2);
        row("list unreachable", "", 0, 3,
            "UNKNOWN - patch list unreachable: Network connection error.|missing=0;;;0 "
            "security=0;;;0 oldest_days=0;;;0",
            3);
        row("invalid list", "", 0, 0,
            "UNKNOWN - patch list invalid|missing=0;;;0 security=0;;;0 oldest_days=0;;;0", 3);
        row("registry export unreadable", "", 0, 1,
            "UNKNOWN - registry export unreadable|missing=0;;;0 security=0;;;0 oldest_days=0;;;0",
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
        const QStringList patches = missing.split(' ', Qt::SkipEmptyParts);
        for (const QString& p : patches) {
            const bool known = p.mid(1) != "?";
            result.missing.append({{p, "Quorix for Server", {}, "Windows", {}, {}, {}},
                                   p.startsWith('s'),
                                   std::nullopt,
                                   known ? std::optional<qint64>(p.mid(1).toInt()) : std::nullopt,
                                   known && p.mid(1).toInt() < grace});
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
        QTest::newRow("example") << "/sky_vane/patches.json";
        QTest::newRow("control characters everywhere") << "/hostile.json";
    }
    void formatsAgreeAndTheirConsumersReadThem()
    {
        QFETCH(QString, path);
        const QStringList check{"/r", "examples/machine.reg", "/u", server.url(path)};
        const auto [json, jsonExit] = run(QStringList{"/f", "json"} + check);
        const auto [metrics, metricsExit] = run(QStringList{"/f", "prometheus"} + check);
        const auto [nagios, nagiosExit] = run(QStringList{"/f", "nagios"} + check);
        QCOMPARE(jsonExit, 0);
        QCOMPARE(metricsExit, 0);
        QVERIFY(nagiosExit == 1 || nagiosExit == 2);
        const QString schema = QStringLiteral(SKYVANE_SOURCE_DIR "/docs/report.schema.json");
        QCOMPARE(consumer("python3",
                          {"-c",
                           "import json, sys, jsonschema; jsonschema.Draft202012Validator("
                           "json.load(open(sys.argv[1]))).validate(json.load(sys.stdin))",
                           schema},
                          json),
                 QString());
        QCOMPARE(consumer("promtool", {"check", "metrics"}, metrics), QString());
        // The same missing patches, whichever output tells them.
        const QJsonObject report = QJsonDocument::fromJson(json).object();
        int listed = 0;
        for (const QJsonValue product : report["products"].toArray())
            listed += int(product["missing"].toArray().size());
        QCOMPARE(QString::fromUtf8(nagios).count('\n'), 1 + listed);
        QVERIFY(nagios.contains(
            "|missing=" + QByteArray::number(report["counts"]["missing"].toInt()) + ";"));
        int counted = 0;
        for (const QByteArray& line : metrics.split('\n'))
            counted +=
                line.startsWith("skyvane_missing_patches{") ? line.split(' ').last().toInt() : 0;
        QCOMPARE(counted, listed);
    }
};

QTEST_GUILESS_MAIN(TestMachineOutput)
#include "tst_machineoutput.moc"
