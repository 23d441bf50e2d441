// A machine's check by the Monitoring Plugins rules: its state and exit
// status, the status line with its performance data, a line per patch.

#include "app/commandline.h"
#include "app/verdictswitches.h"
#include "fakeproduct.h"
#include "report/reportformats.h"

#include <QtTest>

class TestNagiosFormat : public QObject
{
    Q_OBJECT

private slots:
    void nagiosStates_data()
    {
        // Security flag and age in days per patch ("s45 n3 s?"; "s-1": released
        // a day ahead of the check, "?": no release date).
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("rules"); // the switches that shape the verdict
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("exitCode");
        // The status line: the state and summary, then "missing security oldest" as
        // performance data.
        const auto row = [](const char* name, const char* missing, const char* rules, int status,
                            const QString& summary, const QString& counts, int exitCode) {
            const QStringList c = counts.split(' ');
            QTest::newRow(name) << QString(missing) << QString(rules) << status
                                << summary + QStringLiteral("|missing=%1;;;0 security=%2;;;0 "
                                                            "oldest_days=%3;;;0")
                                                 .arg(c[0], c[1], c[2])
                                << exitCode;
        };
        row("nothing missing", "", "", 0, "OK - no updates missing", "0 0 0", 0);
        row("only others missing", "n10", "", 0,
            "WARNING - 1 update missing (0 security, oldest 10 days)", "1 0 10", 1);
        row("a security patch missing", "n3 s45", "", 0,
            "CRITICAL - 2 updates missing (1 security, oldest 45 days)", "2 1 45", 2);
        row("young patches within grace", "s5 n6", "/g 7", 0,
            "OK - 2 updates missing (1 security, oldest 6 days)", "2 1 6", 0);
        row("one day old", "n1", "", 0, "WARNING - 1 update missing (0 security, oldest 1 day)",
            "1 0 1", 1);
        row("grace ends on its last day", "s7", "/g 7", 0,
            "CRITICAL - 1 update missing (1 security, oldest 7 days)", "1 1 7", 2);
        row("released ahead of the check: age 0, no grace", "s-1", "", 0,
            "CRITICAL - 1 update missing (1 security, oldest 0 days)", "1 1 0", 2);
        row("released ahead of the check, within grace", "s-3", "/g 1", 0,
            "OK - 1 update missing (1 security, oldest 0 days)", "1 1 0", 0);
        row("unknown age counts", "s?", "/g 7", 0, "CRITICAL - 1 update missing (1 security)",
            "1 1 0", 2);
        // Thresholds: once one is given, they alone decide.
        row("security-only: others listed, the state OK", "n10", "/securityonly", 0,
            "OK - 1 update missing (0 security, oldest 10 days)", "1 0 10", 0);
        row("security-only: a security patch is critical", "n10 s3", "/securityonly", 0,
            "CRITICAL - 2 updates missing (1 security, oldest 10 days)", "2 1 10", 2);
        row("count: below the warning limit, security or not", "s1", "/count 2,3", 0,
            "OK - 1 update missing (1 security, oldest 1 day)", "1 1 1", 0);
        row("count: at the warning limit", "n1 n2", "/count 2,3", 0,
            "WARNING - 2 updates missing (0 security, oldest 2 days)", "2 0 2", 1);
        row("count: at the critical limit", "n1 n2 n3", "/count 2,3", 0,
            "CRITICAL - 3 updates missing (0 security, oldest 3 days)", "3 0 3", 2);
        row("count: grace keeps a patch out of the count", "n3 n10", "/g 5 /count 2", 0,
            "OK - 2 updates missing (0 security, oldest 10 days)", "2 0 10", 0);
        row("age: not older than the warning limit", "s7", "/age 7,14", 0,
            "OK - 1 update missing (1 security, oldest 7 days)", "1 1 7", 0);
        row("age: older than the warning limit", "s8", "/age 7,14", 0,
            "WARNING - 1 update missing (1 security, oldest 8 days)", "1 1 8", 1);
        row("age: older than the critical limit", "n15 s1", "/age 7,14", 0,
            "CRITICAL - 2 updates missing (1 security, oldest 15 days)", "2 1 15", 2);
        row("age: no release date is old", "n?", "/age ,14", 0,
            "CRITICAL - 1 update missing (0 security)", "1 0 0", 2);
        row("age, security-only: old others do not count", "n30 s8", "/securityonly /age 7,14", 0,
            "WARNING - 2 updates missing (1 security, oldest 30 days)", "2 1 30", 1);
        row("count and age: the worse of both", "n1 n2 n20", "/count 3,5 /age 10", 0,
            "WARNING - 3 updates missing (0 security, oldest 20 days)", "3 0 20", 1);
        // ACKS: s45 until the check's day, s5 until the day before, n10 for other machines.
        row("acknowledged: listed, raises nothing", "s45 n3", "/ack ACKS", 0,
            "WARNING - 2 updates missing (1 security, oldest 45 days)", "2 1 45", 1);
        row("acknowledgement expired: counts again", "s5", "/ack ACKS", 0,
            "CRITICAL - 1 update missing (1 security, oldest 5 days)", "1 1 5", 2);
        row("acknowledged for other machines only", "n10", "/ack ACKS", 0,
            "WARNING - 1 update missing (0 security, oldest 10 days)", "1 0 10", 1);
        row("list unreachable", "", "", 3,
            "UNKNOWN - patch list unreachable: Network connection error.", "0 0 0", 3);
        row("invalid list", "", "", 0, "UNKNOWN - patch list invalid", "0 0 0", 3);
        row("registry export unreadable", "", "", 1, "UNKNOWN - registry export unreadable",
            "0 0 0", 3);
    }
    void nagiosStates()
    {
        QFETCH(QString, missing);
        QFETCH(QString, rules);
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
        QTemporaryFile acks;
        QVERIFY(acks.open() &&
                acks.write("[S45]\nexpires = 2031-03-01\nreason = frozen\n"
                           "[s5]\nexpires = 2031-02-28\nreason = ran out\n"
                           "[n10]\nmachines = other-*\nexpires = 2031-03-01\n"
                           "reason = elsewhere\n") > 0 &&
                acks.flush());
        const Result<VerdictRules> verdict = verdictRulesOfRun(parseRunOptions(
            QStringList{"skyvane"} + rules.replace("ACKS", acks.fileName()).split(' ')));
        QVERIFY(verdict.ok());
        result.rules = verdict.value();
        const QDate today(2031, 3, 1);
        const QStringList patches = missing.split(' ', Qt::SkipEmptyParts);
        for (const QString& p : patches) {
            const QString age = p.mid(1);
            const QString released =
                age == "?" ? QString() : today.addDays(-age.toInt()).toString(Qt::ISODate);
            const PublishedPatch patch{
                p,       "Quorix for Server", p.startsWith('s') ? "yes" : "no", "Windows", {}, {},
                released};
            result.missing.append(missingPatch(patch, today, result.rules.graceDays));
        }
        result.checkedAt = today.startOfDay(Qt::UTC);
        markAcknowledged(result);
        const std::unique_ptr<ReportFormat> nagios = reportFormatNamed("nagios");
        QByteArray text;
        nagios->writeMachine(result, text);
        const QStringList lines = QString::fromUtf8(text).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), "SKYVANE " + line);
        QCOMPARE(lines.size(), 1 + patches.size()); // one line per missing patch
        QVERIFY(nagios->exitsWithCheckState());
        QCOMPARE(int(machineCheck(result).state), exitCode);
        static const QRegularExpression grammar(
            "^SKYVANE (OK|WARNING|CRITICAL|UNKNOWN) - [^|]+\\|(\\w+=\\d+;;;0 ?)+$");
        QVERIFY(grammar.match(lines.first()).hasMatch());
    }
};

QTEST_GUILESS_MAIN(TestNagiosFormat)
#include "tst_nagiosformat.moc"
